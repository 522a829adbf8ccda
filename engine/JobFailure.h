// A failure that ends a run. It carries the status text the user sees; the
// job frame catches it, gives the window back and shows the text.
#pragma once

#include <string>

class JobFailure {
public:
    explicit JobFailure(std::string statusText) : m_statusText(std::move(statusText)) {}
    const std::string& StatusText() const { return m_statusText; }

private:
    std::string m_statusText;
};
