// The main window's construction: its controls at their places in dialog
// units, its start-up state, its icon painting when minimised and its help.
#include "CMainDlg.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QStyle>
#include <QToolTip>

#include "CQtFileChooser.h"
#include "ControlIds.h"
#include "ResourceIcons.h"
#include "Skin.h"
#include "TrackedNew.h"
#include "WindowChoices.h"
#include "WindowTexts.h"

using namespace lintrim;

using namespace lintrim;

using namespace lintrim;

using namespace lintrim;

namespace {
constexpr int kSingleLineMaxChars = 40;
constexpr int kSnapDistance = 30;

struct ControlPlace {
    int id;  // 0 for the label without identifier
    QRect units;
};

// Template order, which is also creation order.
constexpr int kInputLabel = 0;
const ControlPlace kPlaces[] = {
    {IDC_BROWSE_INPUT, {117, 0, 18, 12}}, {IDC_BY_FREQUENCY, {3, 47, 82, 10}},
    {IDC_GO, {138, 1, 22, 26}},           {kInputLabel, {3, 2, 29, 8}},
    {IDC_PROGRESS, {3, 61, 157, 7}},      {IDC_STATUS, {3, 72, 157, 8}},
    {IDC_INPUT_CAPTION, {42, 2, 72, 8}},  {IDC_USE_REF, {3, 15, 56, 10}},
    {IDC_BROWSE_REF, {117, 14, 18, 12}},  {IDC_REF_CAPTION, {63, 16, 50, 8}},
    {IDC_ALPHABETIZE, {96, 48, 54, 10}},  {IDC_DEL_SINGLE, {3, 31, 57, 10}},
    {IDC_SINGLE_TEXT, {65, 31, 95, 10}},
};
const QSize kClientUnits(163, 83);
// Tab goes through the controls as they stand, row by row, left to right.
const int kTabOrder[] = {IDC_BROWSE_INPUT, IDC_GO,          IDC_USE_REF,      IDC_BROWSE_REF,
                         IDC_DEL_SINGLE,   IDC_SINGLE_TEXT, IDC_BY_FREQUENCY, IDC_ALPHABETIZE};

// Windows' rounding of a dialog unit product: nearest, halves away from 0.
int MulDiv(int value, int numerator, int denominator) {
    return static_cast<int>((static_cast<long long>(value) * numerator * 2 + denominator) /
                            (2 * denominator));
}
}  // namespace

CMainDlg::CMainDlg(QWidget* parent)
    : CVelDialog(parent),
      m_hIcon(LoadResourceIcon(IDI_MAIN)),
      m_chooser(std::make_unique<CQtFileChooser>()) {
    setWindowTitle(QString::fromLatin1(window_text::kTitle));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFont(QFont(QString::fromLatin1(skin::kFontFamily), skin::kFontPoints));
    CreateControls();
    PlaceControls();
    SetAccessibleTexts();
    ConnectHandlers();
    AddMenuShortcuts();
    QSettings store;
    m_settings = WindowSettings::Load(store);
    OnInitDialog();
}

CMainDlg::~CMainDlg() {
    StopJob();
}

void CMainDlg::SetFileChooser(std::unique_ptr<CFileChooser> chooser) {
    m_chooser = std::move(chooser);
}

QWidget* CMainDlg::Control(int controlId) const {
    const auto found = m_controls.find(controlId);
    return found == m_controls.end() ? nullptr : found->second;
}

QCheckBox* CMainDlg::CheckBox(int checkBoxId) const {
    return qobject_cast<QCheckBox*>(Control(checkBoxId));
}

void CMainDlg::CreateControls() {
    m_browseInput = LINTRIM_NEW CSkinButton(QStringLiteral("..."), this);
    m_byFrequency = LINTRIM_NEW QCheckBox(QStringLiteral("sort list by frequency"), this);
    m_go = LINTRIM_NEW CSkinButton(QStringLiteral("go !"), this);
    auto* inputLabel = LINTRIM_NEW QLabel(QStringLiteral("input list:"), this);
    m_progress = LINTRIM_NEW QProgressBar(this);
    m_status = LINTRIM_NEW QLabel(QString::fromLatin1(window_text::kCredit), this);
    m_inputCaption = LINTRIM_NEW QLabel(QStringLiteral("  drop file / select --->"), this);
    m_useRef = LINTRIM_NEW QCheckBox(QStringLiteral("use ref list(s)"), this);
    m_browseRef = LINTRIM_NEW CSkinButton(QStringLiteral("..."), this);
    m_refCaption = LINTRIM_NEW QLabel(QStringLiteral("         select --->"), this);
    m_alphabetize = LINTRIM_NEW QCheckBox(QStringLiteral("Alphabetize"), this);
    m_delSingle = LINTRIM_NEW QCheckBox(QStringLiteral("del single line"), this);
    m_singleText = LINTRIM_NEW QLineEdit(this);
    m_controls = {{IDC_BROWSE_INPUT, m_browseInput},
                  {IDC_BY_FREQUENCY, m_byFrequency},
                  {IDC_GO, m_go},
                  {kInputLabel, inputLabel},
                  {IDC_PROGRESS, m_progress},
                  {IDC_STATUS, m_status},
                  {IDC_INPUT_CAPTION, m_inputCaption},
                  {IDC_USE_REF, m_useRef},
                  {IDC_BROWSE_REF, m_browseRef},
                  {IDC_REF_CAPTION, m_refCaption},
                  {IDC_ALPHABETIZE, m_alphabetize},
                  {IDC_DEL_SINGLE, m_delSingle},
                  {IDC_SINGLE_TEXT, m_singleText}};

    // The rectangles were made for a narrower font; a closer indicator keeps
    // every check box's text whole.
    for (QCheckBox* box : {m_byFrequency, m_useRef, m_alphabetize, m_delSingle})
        box->setStyleSheet(QStringLiteral("QCheckBox { spacing: 2px; }"));
    for (CSkinButton* button : {m_browseInput, m_go, m_browseRef}) button->setAutoDefault(false);
    m_go->setEnabled(false);
    m_progress->setTextVisible(false);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_status->setAlignment(Qt::AlignCenter);
    m_status->setEnabled(false);
    m_inputCaption->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    m_refCaption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_singleText->setMaxLength(kSingleLineMaxChars);
    // The window takes dropped files itself; the box would turn them into text.
    m_singleText->setAcceptDrops(false);
}

QRect CMainDlg::DialogUnitsToPixels(const QRect& units) const {
    // A horizontal unit is a quarter of the average width of the 52 letters,
    // a vertical one an eighth of the font's height.
    const QFontMetrics metrics(font());
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const int baseX = (letters / 26 + 1) / 2;
    const int baseY = metrics.height();
    return {MulDiv(units.x(), baseX, 4), MulDiv(units.y(), baseY, 8),
            MulDiv(units.width(), baseX, 4), MulDiv(units.height(), baseY, 8)};
}

void CMainDlg::PlaceControls() {
    for (const ControlPlace& place : kPlaces)
        m_controls.at(place.id)->setGeometry(DialogUnitsToPixels(place.units));
    setFixedSize(DialogUnitsToPixels(QRect(QPoint(0, 0), kClientUnits)).size());
    for (size_t i = 1; i < std::size(kTabOrder); ++i)
        setTabOrder(Control(kTabOrder[i - 1]), Control(kTabOrder[i]));
}

void CMainDlg::SetAccessibleTexts() {
    for (const window_text::AccessibleText& text : window_text::kAccessible) {
        QWidget* control = Control(text.id);
        control->setAccessibleName(QString::fromLatin1(text.name));
        if (text.description)
            control->setAccessibleDescription(QString::fromLatin1(text.description));
    }
    for (QLabel* caption : {m_inputCaption, m_refCaption}) SetCaption(*caption, caption->text());
}

// A caption is read without the blanks and the arrow that point to its button.
void CMainDlg::SetCaption(QLabel& caption, const QString& text) {
    caption.setText(text);
    caption.setAccessibleName(QString::fromStdString(SpokenCaption(text.toStdString())));
}

void CMainDlg::ConnectHandlers() {
    connect(
        this, &CMainDlg::RequestPosted, this, [this] { m_requests.Serve(); }, Qt::QueuedConnection);
    connect(this, &CMainDlg::JobEnded, this, &CMainDlg::OnJobEnded, Qt::QueuedConnection);
    connect(m_go, &QPushButton::clicked, this, &CMainDlg::OnGo);
    connect(m_browseInput, &QPushButton::clicked, this, &CMainDlg::OnBrowseInput);
    connect(m_browseRef, &QPushButton::clicked, this, &CMainDlg::OnBrowseRef);
    // clicked, not toggled: a state set by a job or a handler runs no handler.
    connect(m_useRef, &QCheckBox::clicked, this, &CMainDlg::OnUseRef);
    connect(m_byFrequency, &QCheckBox::clicked, this, &CMainDlg::OnByFrequency);
    connect(m_alphabetize, &QCheckBox::clicked, this, &CMainDlg::OnAlphabetize);
    connect(m_delSingle, &QCheckBox::clicked, this, &CMainDlg::OnDelSingle);
    auto* help = LINTRIM_NEW QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, &CMainDlg::OnHelp);
}

bool CMainDlg::OnInitDialog() {
    SetGrayTextColor(skin::kGrayText);
    SetBackgroundColor(skin::kBackground);
    SetTopmost(true);
    SetDragAnywhere(true);
    SetSnapDistance(kSnapDistance);
    AddTransparentControl(m_status);
    m_refCount = 0;
    m_inputCount = 0;
    m_browseInput->setText(QString());
    m_browseInput->SetIcons(IDI_BROWSE, IDI_BROWSE);
    m_browseRef->setText(QString());
    m_browseRef->SetIcons(IDI_BROWSE, IDI_BROWSE);
    m_browseRef->setEnabled(false);
    m_refCaption->setEnabled(false);
    m_singleText->setReadOnly(true);
    setWindowIcon(m_hIcon);
    AcceptDroppedFiles(true);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    return true;
}

void CMainDlg::paintEvent(QPaintEvent* event) {
    OnPaint(event);
}

void CMainDlg::OnPaint(QPaintEvent* event) {
    if (!isMinimized()) {
        CVelDialog::paintEvent(event);
        return;
    }
    // Where the platform shows a minimised window's client area, show the icon.
    const int iconSize = style()->pixelMetric(QStyle::PM_LargeIconSize);
    QPainter painter(this);
    painter.fillRect(rect(), BackgroundColor());
    const QPoint at((width() - iconSize + 1) / 2, (height() - iconSize + 1) / 2);
    OnQueryDragIcon().paint(&painter, QRect(at, QSize(iconSize, iconSize)));
}

// Enter never closes the window, which would lose the user's choices: it
// presses the focused button or check box, and in the line's box presses go
// when go may be pressed. Escape still closes it.
void CMainDlg::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        CVelDialog::keyPressEvent(event);
        return;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(focusWidget()))
        button->animateClick();
    else if (focusWidget() == m_singleText && m_go->isEnabled())
        m_go->animateClick();
}

void CMainDlg::OnHelp() {
    QToolTip::showText(mapToGlobal(QPoint(0, 0)), QString::fromLatin1(window_text::kHelp), this);
}
