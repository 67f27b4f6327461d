#include "platform/message_service.h"

#include <cstdio>
#include <mutex>

namespace spirelo {

namespace {
class StderrMessages : public MessageService {
public:
    void message(const std::string& t) override { std::fprintf(stderr, "message: %s\n", t.c_str()); }
    void warning(const std::string& t) override { std::fprintf(stderr, "warning: %s\n", t.c_str()); }
    Answer question(const std::string& t) override {
        std::fprintf(stderr, "question (answered No): %s\n", t.c_str());
        return Answer::No;
    }
    void error(const std::string& t) override { std::fprintf(stderr, "error: %s\n", t.c_str()); }
};

std::shared_ptr<MessageService>& OnStderr() {
    static std::shared_ptr<MessageService> service = std::make_shared<StderrMessages>();
    return service;
}

std::shared_ptr<MessageService>& Current() {
    static std::shared_ptr<MessageService> current = OnStderr();
    return current;
}
}  // namespace

MessageService& Messages() { return *Current(); }

void InstallMessageService(std::shared_ptr<MessageService> service) {
    Current() = service ? std::move(service) : OnStderr();
}

MessageService& MessagesOnStderr() { return *OnStderr(); }

std::string TwoLines(const std::string& first, const std::string& second) {
    return first + "\n\r" + second;
}

}  // namespace spirelo
