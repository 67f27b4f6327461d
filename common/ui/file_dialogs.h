// Open and save dialogs that keep the original's properties (filter, title, default extension,
// file name) between uses. Execute() shows a modal file dialog; tests install an answerer.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>

namespace spirelo {

class FileDialog {
public:
    enum class Kind { Open, Save };
    explicit FileDialog(Kind kind) : kind_(kind) {}

    QString Filter;       // "Description|*.ext" pairs separated by "|"
    QString Title;
    QString DefaultExt;   // "*.trk" or "trk"
    QString FileName;     // the last chosen (or program-set) name
    bool Multiple = false;   // several files may be chosen (open dialogs)
    QStringList Files;    // every chosen file, in the dialog's order (FileName is the first)

    Kind kind() const { return kind_; }
    // True when the user confirmed; FileName then holds the chosen path.
    bool Execute(QWidget* parent = nullptr);

    // Converts "A|*.a|B|*.b" into Qt's "A (*.a);;B (*.b)"; a pattern in capitals also gets its
    // lower-case form, since names on Linux are case-sensitive.
    static QString QtFilter(const QString& filter);

    // Tests answer dialogs here: return a path to confirm, nullopt to cancel; a dialog with
    // Multiple takes several paths separated by '\n'. nullptr restores the real dialogs.
    using Answerer = std::function<std::optional<QString>(const FileDialog&)>;
    static void SetAnswerer(Answerer answerer);

private:
    Kind kind_;
};

}  // namespace spirelo
