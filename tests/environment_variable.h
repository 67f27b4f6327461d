// An environment variable set or unset for one scope and given back its earlier value when the
// scope ends, however it ends (a failed ASSERT returns early), so later tests start from the
// environment the suite was given.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace spirelo::test {

class EnvironmentVariable {
public:
    explicit EnvironmentVariable(std::string name) : name_(std::move(name)) {
        if (const char* v = std::getenv(name_.c_str())) saved_ = v;
    }
    EnvironmentVariable(std::string name, const std::string& value) : EnvironmentVariable(std::move(name)) {
        set(value);
    }
    ~EnvironmentVariable() {
        if (saved_) ::setenv(name_.c_str(), saved_->c_str(), 1);
        else ::unsetenv(name_.c_str());
    }
    EnvironmentVariable(const EnvironmentVariable&) = delete;
    EnvironmentVariable& operator=(const EnvironmentVariable&) = delete;

    void set(const std::string& value) { ::setenv(name_.c_str(), value.c_str(), 1); }
    void unset() { ::unsetenv(name_.c_str()); }

private:
    std::string name_;
    std::optional<std::string> saved_;
};

}  // namespace spirelo::test
