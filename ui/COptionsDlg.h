// The window's options in a dialog of the same skin: how lines end, where
// each result goes, whether the removed lines are kept, how lines are
// compared, which lengths stay, and how much memory a run may take. The
// user's choice is read back with Chosen() once the dialog is accepted.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <functional>

#include "CSkinButton.h"
#include "CVelDialog.h"
#include "WindowSettings.h"

class COptionsDlg : public CVelDialog {
    Q_OBJECT

public:
    COptionsDlg(const WindowSettings& settings, QWidget* parent = nullptr);

    WindowSettings Chosen() const;
    // Asks for the file of removed lines; tests answer in place of a person.
    void SetFileAsker(std::function<QString()> ask) { m_ask = std::move(ask); }

private:
    void CreateControls(const WindowSettings& settings);
    void ShowBesideName();
    void ChooseRemovedFile();

    QComboBox* m_lineEnd = nullptr;
    QCheckBox* m_beside = nullptr;
    QLineEdit* m_suffix = nullptr;
    QLabel* m_besideName = nullptr;
    QCheckBox* m_keepRemoved = nullptr;
    QLineEdit* m_removedFile = nullptr;
    CSkinButton* m_browseRemoved = nullptr;
    QCheckBox* m_ignoreCase = nullptr;
    QCheckBox* m_hexKey = nullptr;
    QSpinBox* m_minLength = nullptr;
    QSpinBox* m_maxLength = nullptr;
    QSpinBox* m_memory = nullptr;
    std::function<QString()> m_ask;
};
