// The options dialog: a grid of labelled controls and two buttons.
#include "COptionsDlg.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>

#include "Skin.h"
#include "TrackedNew.h"
#include "lintrim/RunPlan.h"

using namespace lintrim;

namespace {
constexpr int kMostLength = 1 << 30;
constexpr int kMostMemoryMiB = 1 << 20;  // 1 TiB
constexpr int kSmallestMemoryMiB = static_cast<int>(kSmallestMemoryBudget >> 20);

QSpinBox* NumberBox(QWidget* parent, int value, int most, const QString& none) {
    auto* box = LINTRIM_NEW QSpinBox(parent);
    box->setRange(0, most);
    box->setSpecialValueText(none);
    box->setValue(value);
    return box;
}
}  // namespace

COptionsDlg::COptionsDlg(const WindowSettings& settings, QWidget* parent)
    : CVelDialog(parent), m_ask([this] {
          return QFileDialog::getSaveFileName(this, QStringLiteral("File of removed lines"));
      }) {
    setWindowTitle(QStringLiteral("Lintrim options"));
    setFont(QFont(QString::fromLatin1(skin::kFontFamily), skin::kFontPoints));
    CreateControls(settings);
    SetGrayTextColor(skin::kGrayText);
    SetBackgroundColor(skin::kBackground);
    SetDragAnywhere(true);
    ShowBesideName();
}

void COptionsDlg::CreateControls(const WindowSettings& s) {
    auto* grid = LINTRIM_NEW QGridLayout(this);
    const auto label = [&](const char* text, QWidget* buddy, int row) {
        auto* shown = LINTRIM_NEW QLabel(QString::fromLatin1(text), this);
        shown->setBuddy(buddy);
        buddy->setAccessibleName(QString::fromLatin1(text).remove(QLatin1Char('&')).chopped(1));
        grid->addWidget(shown, row, 0);
    };
    m_lineEnd = LINTRIM_NEW QComboBox(this);
    m_lineEnd->addItems({QStringLiteral("CR LF"), QStringLiteral("LF"),
                         QStringLiteral("as read (most of the list's lines)")});
    m_lineEnd->setCurrentIndex(s.lineEnd);
    label("&line ends:", m_lineEnd, 0);
    grid->addWidget(m_lineEnd, 0, 1, 1, 2);

    m_beside =
        LINTRIM_NEW QCheckBox(QStringLiteral("write each result &beside its list, named"), this);
    m_beside->setChecked(s.beside);
    m_suffix = LINTRIM_NEW QLineEdit(s.besideSuffix, this);
    m_suffix->setAccessibleName(QStringLiteral("added to each result's name"));
    m_besideName = LINTRIM_NEW QLabel(this);
    grid->addWidget(m_beside, 1, 0);
    grid->addWidget(m_suffix, 1, 1);
    grid->addWidget(m_besideName, 1, 2);

    m_keepRemoved = LINTRIM_NEW QCheckBox(QStringLiteral("&keep the removed lines in"), this);
    m_keepRemoved->setChecked(s.keepRemoved);
    m_removedFile = LINTRIM_NEW QLineEdit(s.removedFile, this);
    m_removedFile->setAccessibleName(QStringLiteral("file of removed lines"));
    m_browseRemoved = LINTRIM_NEW CSkinButton(QStringLiteral("..."), this);
    m_browseRemoved->setAccessibleName(QStringLiteral("choose the file of removed lines"));
    grid->addWidget(m_keepRemoved, 2, 0);
    grid->addWidget(m_removedFile, 2, 1);
    grid->addWidget(m_browseRemoved, 2, 2);

    m_ignoreCase = LINTRIM_NEW QCheckBox(QStringLiteral("compare letters without &case"), this);
    m_ignoreCase->setChecked(s.ignoreCase);
    m_hexKey =
        LINTRIM_NEW QCheckBox(QStringLiteral("compare $&HEX[...] lines as their bytes"), this);
    m_hexKey->setChecked(s.hexKey);
    grid->addWidget(m_ignoreCase, 3, 0, 1, 3);
    grid->addWidget(m_hexKey, 4, 0, 1, 3);

    m_minLength = NumberBox(this, s.minLength, kMostLength, QStringLiteral("any"));
    label("&shortest line (bytes):", m_minLength, 5);
    grid->addWidget(m_minLength, 5, 1);
    m_maxLength = NumberBox(this, s.maxLength, kMostLength, QStringLiteral("any"));
    label("l&ongest line (bytes):", m_maxLength, 6);
    grid->addWidget(m_maxLength, 6, 1);
    m_memory = NumberBox(this, s.memoryMiB, kMostMemoryMiB, QStringLiteral("automatic"));
    label("&memory (MiB):", m_memory, 7);
    grid->addWidget(m_memory, 7, 1);

    auto* buttons = LINTRIM_NEW QHBoxLayout();
    auto* ok = LINTRIM_NEW CSkinButton(QStringLiteral("OK"), this);
    auto* cancel = LINTRIM_NEW CSkinButton(QStringLiteral("Cancel"), this);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 8, 0, 1, 3);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_suffix, &QLineEdit::textChanged, this, &COptionsDlg::ShowBesideName);
    connect(m_browseRemoved, &QPushButton::clicked, this, &COptionsDlg::ChooseRemovedFile);
}

// The pattern shown on an example, as the engine names a result.
void COptionsDlg::ShowBesideName() {
    const std::string name = ResultBeside("list.txt", m_suffix->text().toStdString());
    m_besideName->setText(QStringLiteral("list.txt \u2192 ") + QString::fromStdString(name));
}

void COptionsDlg::ChooseRemovedFile() {
    const QString file = m_ask();
    if (file.isEmpty()) return;
    m_removedFile->setText(file);
    m_keepRemoved->setChecked(true);
}

// A budget under the smallest the engine takes is taken as the smallest.
WindowSettings COptionsDlg::Chosen() const {
    WindowSettings s;
    s.lineEnd = m_lineEnd->currentIndex();
    s.beside = m_beside->isChecked() && !m_suffix->text().isEmpty();
    s.besideSuffix = m_suffix->text();
    s.keepRemoved = m_keepRemoved->isChecked() && !m_removedFile->text().isEmpty();
    s.removedFile = m_removedFile->text();
    s.ignoreCase = m_ignoreCase->isChecked();
    s.hexKey = m_hexKey->isChecked();
    s.minLength = m_minLength->value();
    s.maxLength = m_maxLength->value();
    s.memoryMiB = m_memory->value() == 0 ? 0 : std::max(m_memory->value(), kSmallestMemoryMiB);
    return s;
}
