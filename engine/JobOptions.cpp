// The window's options, read from its check boxes.
#include "JobOptions.h"

#include "ControlIds.h"

bool WindowOptions::ByFrequency() {
    return m_window.IsChecked(IDC_BY_FREQUENCY);
}

bool WindowOptions::Alphabetize() {
    return m_window.IsChecked(IDC_ALPHABETIZE);
}
