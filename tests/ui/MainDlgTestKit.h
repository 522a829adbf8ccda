// Shared by the main window's suites: a chooser that gives the answers a test
// sets, a window that counts the jobs that lock it, real drops and files.
#pragma once

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QUrl>
#include <atomic>
#include <deque>
#include <memory>

#include "CFileChooser.h"
#include "CMainDlg.h"
#include "ControlIds.h"

// Answers each ChooseFiles with the next queued answer (none when empty) and
// keeps the requests it was given.
class FakeChooser : public CFileChooser {
public:
    struct State {
        std::deque<QStringList> answers;
        std::vector<CChooserRequest> requests;
    };
    explicit FakeChooser(std::shared_ptr<State> state) : m_state(std::move(state)) {}
    QStringList ChooseFiles(QWidget*, const CChooserRequest& request) override {
        m_state->requests.push_back(request);
        if (m_state->answers.empty()) return {};
        QStringList answer = m_state->answers.front();
        m_state->answers.pop_front();
        return answer;
    }

private:
    std::shared_ptr<State> m_state;
};

// The real window with the fake chooser, counting how many jobs locked it:
// every job's first lock step enables the status line from its worker.
class TestMainDlg : public CMainDlg {
public:
    TestMainDlg() : chooser(std::make_shared<FakeChooser::State>()) {
        SetFileChooser(std::make_unique<FakeChooser>(chooser));
    }
    // The job may still call EnableControl below: stop it while that exists.
    ~TestMainDlg() override { StopJob(); }
    void EnableControl(int controlId, bool enabled) override {
        if (controlId == IDC_STATUS && enabled && QThread::currentThread() != thread()) ++locks;
        CMainDlg::EnableControl(controlId, enabled);
    }
    void SetProgressPos(int pos) override {
        ++positions;
        CMainDlg::SetProgressPos(pos);
    }
    template <typename T>
    T* Get(int id) const {
        return qobject_cast<T*>(Control(id));
    }
    void Choose(int browseId, const QStringList& answer) {
        chooser->answers.push_back(answer);
        Get<QPushButton>(browseId)->click();
    }

    std::shared_ptr<FakeChooser::State> chooser;
    std::atomic<int> locks{0};
    std::atomic<int> positions{0};  // requested, whether shown yet or not
};

// Drags local files over the window and drops them; whether the window took them.
inline bool DropPaths(QWidget& target, const QList<QUrl>& urls) {
    QMimeData mime;
    mime.setUrls(urls);
    const QPoint at = target.rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &drop);
    return drop.isAccepted();
}

inline bool DropFiles(QWidget& target, const QStringList& paths) {
    QList<QUrl> urls;
    for (const QString& path : paths) urls.append(QUrl::fromLocalFile(path));
    return DropPaths(target, urls);
}

inline void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

inline QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}
