// The main window's handlers: the two choosers, dropped files, the option
// interlocks and the state of "go !" that follows from them.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "CMainDlg.h"
#include "ControlIds.h"
#include "NameBuffer.h"

namespace {
const CChooserRequest kInputRequest{
    {QStringLiteral("Single/Combo wordlists (*.txt)"), QStringLiteral("All Files (*)")},
    QStringLiteral("txt")};
const CChooserRequest kRefRequest{
    {QStringLiteral("Reference list (*.txt)"), QStringLiteral("All Files (*)")},
    QStringLiteral("txt")};

// The local paths of a drag, or none when anything in it is not a local file.
QStringList LocalPaths(const QMimeData* mime) {
    QStringList paths;
    if (mime == nullptr || !mime->hasUrls()) return paths;
    for (const QUrl& url : mime->urls()) {
        if (!url.isLocalFile()) return {};
        paths.append(url.toLocalFile());
    }
    return paths;
}
}  // namespace

void CMainDlg::SetInputCaptionForCount() {
    // The selection is only changed on this thread, so it is read directly.
    m_inputCaption->setText(m_inputCount == 1
                                ? FileNameOf(QString::fromStdString(m_inputFiles.back()))
                                : QStringLiteral("%1 wordlists ").arg(m_inputCount));
}

void CMainDlg::SetRefCaptionForCount() {
    m_refCaption->setText(m_refCount == 1 ? QStringLiteral("1 ref file")
                                          : QStringLiteral("%1 ref files ").arg(m_refCount));
}

void CMainDlg::EnableGoForInputAndRefs() {
    EnableControl(IDC_GO, !m_inputFiles.empty() && m_refCount > 0);
}

void CMainDlg::OnBrowseInput() {
    const QStringList chosen =
        FitNameBuffer(m_chooser->ChooseFiles(this, kInputRequest), kInputNameBuffer);
    if (chosen.isEmpty()) return;
    for (const QString& path : chosen) {
        m_inputFiles.push_back(path.toStdString());
        ++m_inputCount;
    }
    SetInputCaptionForCount();
    EnableControl(IDC_GO, true);
}

void CMainDlg::OnDropFiles(const QStringList& paths) {
    for (const QString& path : paths) {
        m_inputFiles.push_back(FitDropPath(path).toStdString());
        ++m_inputCount;
    }
    if (m_inputCount == 0) return;
    SetInputCaptionForCount();
    EnableControl(IDC_GO, false);
    const bool useRef = IsChecked(IDC_USE_REF);
    if (useRef && m_inputCount > 0 && m_refCount > 0) EnableControl(IDC_GO, true);
    if (!useRef && m_inputCount > 0) EnableControl(IDC_GO, true);
}

void CMainDlg::OnBrowseRef() {
    const QStringList chosen =
        FitNameBuffer(m_chooser->ChooseFiles(this, kRefRequest), kRefNameBuffer);
    if (chosen.isEmpty()) return;
    // A job in progress copied the reference list at its start and removes
    // only what it used, so this choice stays for the next run.
    AccessSelection([&] {
        for (const QString& path : chosen) {
            m_refFiles.push_back(path.toStdString());
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
    if (acceptDrops() && !LocalPaths(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void CMainDlg::dropEvent(QDropEvent* event) {
    const QStringList paths = LocalPaths(event->mimeData());
    if (!acceptDrops() || paths.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    OnDropFiles(paths);
}
