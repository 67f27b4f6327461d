// Every message box and Yes/No question of the controller goes through this service, so logic
// never shows a dialog and tests answer with a recording fake.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace spirelo {

enum class MessageKind { Plain, Warning, Question, Error };
enum class Answer { Ok, Yes, No };

class MessageService {
public:
    virtual ~MessageService() = default;
    virtual void message(const std::string& text) = 0;                 // plain box, OK
    virtual void warning(const std::string& text) = 0;                 // warning box, OK
    virtual Answer question(const std::string& text) = 0;              // warning box, Yes/No
    virtual void error(const std::string& text) = 0;                   // error box, OK
};

// The one service in use; tests and the program install theirs. Without one installed,
// messages go to stderr and questions answer No.
MessageService& Messages();
void InstallMessageService(std::shared_ptr<MessageService> service);
// That stderr service, for when no box may wait (the end on a signal).
MessageService& MessagesOnStderr();

// Joins the documents' two-line texts: a line feed followed by a carriage return.
std::string TwoLines(const std::string& first, const std::string& second);

class RecordingMessages : public MessageService {
public:
    struct Entry { MessageKind kind; std::string text; };
    void message(const std::string& text) override { log.push_back({MessageKind::Plain, text}); }
    void warning(const std::string& text) override { log.push_back({MessageKind::Warning, text}); }
    Answer question(const std::string& text) override {
        log.push_back({MessageKind::Question, text});
        if (answers.empty()) return Answer::No;
        Answer a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
    void error(const std::string& text) override { log.push_back({MessageKind::Error, text}); }
    std::vector<Entry> log;
    std::vector<Answer> answers;   // given to questions in order; No when used up
};

}  // namespace spirelo
