// The chooser the program uses: Qt's own open-file dialog, modal over the
// window, several existing files at once.
#pragma once

#include "CFileChooser.h"

class CQtFileChooser : public CFileChooser {
public:
    QStringList ChooseFiles(QWidget* owner, const CChooserRequest& request) override;
};
