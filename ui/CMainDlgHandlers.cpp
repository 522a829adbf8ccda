// The main window's handlers: the two choosers, dropped files and the lists
// named at start, the option interlocks and the state of "go !" that follows
// from them.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "CMainDlg.h"
#include "ControlIds.h"
#include "LocalPaths.h"
#include "lintrim/Formats.h"
#include "lintrim/StatusTexts.h"

using namespace lintrim;

namespace {
// A chooser for lists: plain text first, then each compressed format this
// build reads (a list in another one would be refused), then any file.
CChooserRequest ListRequest(const QString& textFilter) {
    QStringList filters{textFilter};
    for (const CompressedFormat& format : CompressedFormats())
        if (format.built)
            filters.append(QStringLiteral("%1 lists (*%2)").arg(format.name, format.suffix));
    filters.append(QStringLiteral("All Files (*)"));
    return {filters, QStringLiteral("txt")};
}
const CChooserRequest kInputRequest = ListRequest(QStringLiteral("Single/Combo wordlists (*.txt)"));
const CChooserRequest kRefRequest = ListRequest(QStringLiteral("Reference list (*.txt)"));

// The local paths of a drag, or none when anything in it is not a local file.
std::vector<std::string> LocalPaths(const QMimeData* mime) {
    std::vector<std::string> paths;
    if (mime == nullptr || !mime->hasUrls()) return paths;
    for (const QUrl& url : mime->urls()) {
        const std::optional<std::string> path = DroppedPath(url);
        if (!path) return {};
        paths.push_back(*path);
    }
    return paths;
}

// A chooser's answer as paths; those that cannot be had go to `refused`.
std::vector<std::string> ChosenPaths(const QStringList& answer, QStringList& refused) {
    std::vector<std::string> paths;
    for (const QString& name : answer) {
        if (const std::optional<std::string> path = ChosenPath(name))
            paths.push_back(*path);
        else
            refused.append(name);
    }
    return paths;
}
}  // namespace

// The status line names the first path a chooser's answer could not take
// (the others were taken).
void CMainDlg::RefuseNames(const QStringList& refused, const char* statusText) {
    if (refused.isEmpty()) return;
    QString text = QStringLiteral("%1 (can't be named: %2").arg(statusText, refused.front());
    if (refused.size() > 1) text += QStringLiteral(" and %1 more").arg(refused.size() - 1);
    EnableControl(IDC_STATUS, true);
    SetStatusText((text + ')').toStdString());
}

void CMainDlg::SetInputCaptionForCount() {
    // The selection is only changed on this thread, so it is read directly.
    SetCaption(*m_inputCaption, m_inputCount == 1
                                    ? FileNameOf(m_inputFiles.back())
                                    : QStringLiteral("%1 wordlists ").arg(m_inputCount));
}

void CMainDlg::SetRefCaptionForCount() {
    SetCaption(*m_refCaption, m_refCount == 1 ? QStringLiteral("1 ref file")
                                              : QStringLiteral("%1 ref files ").arg(m_refCount));
}

void CMainDlg::EnableGoForInputAndRefs() {
    EnableControl(IDC_GO, !m_inputFiles.empty() && m_refCount > 0);
}

// Every chosen path is taken whole, however long or many.
void CMainDlg::OnBrowseInput() {
    QStringList refused;
    const std::vector<std::string> chosen =
        ChosenPaths(m_chooser->ChooseFiles(this, kInputRequest), refused);
    RefuseNames(refused, status::kInvalidInputFile);
    if (chosen.empty()) return;
    for (const std::string& path : chosen) {
        m_inputFiles.push_back(path);
        ++m_inputCount;
    }
    SetInputCaptionForCount();
    EnableControl(IDC_GO, true);
}

void CMainDlg::OnDropFiles(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        m_inputFiles.push_back(path);
        ++m_inputCount;
    }
    if (m_inputCount == 0) return;
    SetInputCaptionForCount();
    EnableControl(IDC_GO, false);
    const bool useRef = IsChecked(IDC_USE_REF);
    if (useRef && m_inputCount > 0 && m_refCount > 0) EnableControl(IDC_GO, true);
    if (!useRef && m_inputCount > 0) EnableControl(IDC_GO, true);
}

void CMainDlg::TakeStartPaths(const std::vector<std::string>& paths) {
    OnDropFiles(paths);
}

void CMainDlg::OnBrowseRef() {
    QStringList refused;
    const std::vector<std::string> chosen =
        ChosenPaths(m_chooser->ChooseFiles(this, kRefRequest), refused);
    // The status line belongs to a job while one runs.
    if (!HasJob()) RefuseNames(refused, status::kInvalidRefFile);
    if (chosen.empty()) return;
    // A job in progress copied the reference list at its start and removes
    // only what it used, so this choice stays for the next run.
    AccessSelection([&] {
        for (const std::string& path : chosen) {
            m_refFiles.push_back(path);
            ++m_refCount;
        }
    });
    SetRefCaptionForCount();
    // While a job runs, go stays as the job left it; the job gives it back.
    if (!HasJob()) EnableGoForInputAndRefs();
}

void CMainDlg::OnUseRef() {
    if (IsChecked(IDC_USE_REF)) {
        SetChecked(IDC_DEL_SINGLE, false);
        SetSingleTextReadOnly(true);
        EnableControl(IDC_REF_CAPTION, true);
        EnableControl(IDC_BROWSE_REF, true);
        EnableGoForInputAndRefs();
    } else {
        EnableControl(IDC_REF_CAPTION, false);
        EnableControl(IDC_BROWSE_REF, false);
        EnableControl(IDC_GO, !m_inputFiles.empty());
    }
}

void CMainDlg::OnByFrequency() {
    SetChecked(IDC_ALPHABETIZE, false);
    SetChecked(IDC_DEL_SINGLE, false);
}

void CMainDlg::OnAlphabetize() {
    SetChecked(IDC_BY_FREQUENCY, false);
}

void CMainDlg::OnDelSingle() {
    if (IsChecked(IDC_DEL_SINGLE)) {
        SetChecked(IDC_USE_REF, false);
        EnableControl(IDC_REF_CAPTION, false);
        EnableControl(IDC_BROWSE_REF, false);
        SetChecked(IDC_BY_FREQUENCY, false);
        EnableControl(IDC_BY_FREQUENCY, false);
        SetSingleTextReadOnly(false);
    } else {
        EnableControl(IDC_BY_FREQUENCY, true);
    }
}

void CMainDlg::dragEnterEvent(QDragEnterEvent* event) {
    // Refused while a job runs (drops are then off) and for anything but local files.
    if (acceptDrops() && !LocalPaths(event->mimeData()).empty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void CMainDlg::dropEvent(QDropEvent* event) {
    const std::vector<std::string> paths = LocalPaths(event->mimeData());
    if (!acceptDrops() || paths.empty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    OnDropFiles(paths);
}
