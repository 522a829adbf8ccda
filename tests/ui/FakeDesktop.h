// A desktop for tests: a chosen work area and window list that a test edits
// as it goes, counting how often the dialog asks for the windows.
#pragma once

#include <vector>

#include "CDesktop.h"

struct FakeDesktopState {
    QRect workArea{0, 0, 1200, 900};
    std::vector<CDesktopWindow> windows;
    int windowQueries = 0;
    bool buttonDown = false;
};

class FakeDesktop : public CDesktop {
public:
    explicit FakeDesktop(FakeDesktopState& state) : m_state(state) {}
    QRect WorkArea() const override { return m_state.workArea; }
    std::vector<CDesktopWindow> TopLevelWindows() const override {
        ++m_state.windowQueries;
        return m_state.windows;
    }
    bool IsPrimaryButtonDown() const override { return m_state.buttonDown; }

private:
    FakeDesktopState& m_state;
};
