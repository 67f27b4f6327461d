// The message service on QMessageBox: the controller's boxes and Yes/No questions.
#pragma once

#include "platform/message_service.h"

#include <QString>

namespace spirelo {

class QtMessages : public MessageService {
public:
    explicit QtMessages(QString title) : title_(std::move(title)) {}
    void message(const std::string& text) override;
    void warning(const std::string& text) override;
    Answer question(const std::string& text) override;
    void error(const std::string& text) override;

    // The documents' line breaks (LF CR, CR LF, lone CR) become one line break each.
    static QString DisplayText(const std::string& text);

private:
    QString title_;
};

// Installs QtMessages with the application title as the boxes' caption.
void InstallQtMessages(const QString& title);

}  // namespace spirelo
