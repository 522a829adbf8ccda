// The main window's menu, on a right click or the menu keys: the options
// dialog (its choices kept between runs), a stop of the running job, and
// the results of the last run, also in the status line's tool tip.
#include <QContextMenuEvent>
#include <QMenu>
#include <QSettings>
#include <QShortcut>

#include "CMainDlg.h"
#include "COptionsDlg.h"
#include "CResultsDlg.h"
#include "TrackedNew.h"
#include "WindowEvents.h"

using namespace lintrim;

namespace {
// Stop: Ctrl+. or the Pause key; Enter and Escape keep their meanings.
const QKeySequence kStopKeys[] = {QKeySequence(Qt::CTRL | Qt::Key_Period),
                                  QKeySequence(Qt::Key_Pause)};
}  // namespace

void CMainDlg::AddMenuShortcuts() {
    for (const QKeySequence& keys : kStopKeys) {
        auto* stop = LINTRIM_NEW QShortcut(keys, this);
        connect(stop, &QShortcut::activated, this, &CMainDlg::OnStop);
    }
    auto* menu = LINTRIM_NEW QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), this);
    connect(menu, &QShortcut::activated, this, [this] { ShowMenu(mapToGlobal(QPoint(0, 0))); });
}

void CMainDlg::contextMenuEvent(QContextMenuEvent* event) {
    ShowMenu(event->globalPos());
}

void CMainDlg::ShowMenu(const QPoint& at) {
    QMenu menu(this);
    QAction* options = menu.addAction(QStringLiteral("&Options..."), this, &CMainDlg::OnOptions);
    options->setEnabled(!HasJob());
    QAction* stop = menu.addAction(QStringLiteral("&Stop"), this, &CMainDlg::OnStop);
    stop->setShortcut(kStopKeys[0]);
    stop->setEnabled(HasJob());
    menu.addAction(QStringLiteral("&Results..."), this, &CMainDlg::OnResults);
    menu.exec(at);
}

// A run takes the options as they are when it starts.
void CMainDlg::OnOptions() {
    COptionsDlg dialog(m_settings, this);
    if (dialog.exec() != QDialog::Accepted) return;
    SetSettings(dialog.Chosen());
}

void CMainDlg::SetSettings(const WindowSettings& settings) {
    m_settings = settings;
    QSettings store;
    m_settings.Save(store);
}

void CMainDlg::OnStop() {
    if (HasJob() && m_control) m_control->Stop();
}

void CMainDlg::OnResults() {
    CResultsDlg dialog(ResultsText(), this);
    dialog.exec();
}

void CMainDlg::ShowResults(const std::vector<ListOutcome>& outcomes) {
    Change([this, outcomes] {
        m_results = outcomes;
        m_status->setToolTip(ResultsText());
    });
}

QString CMainDlg::ResultsText() const {
    return QString::fromStdString(WindowEvents::ResultsText(m_results)).trimmed();
}
