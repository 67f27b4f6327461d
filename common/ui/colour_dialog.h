// A colour dialog that keeps its colour between uses, as the original's colour dialog did.
// Execute() shows a modal dialog opened on Color; tests install an answerer.
#pragma once

#include <QColor>
#include <QWidget>

#include <functional>
#include <optional>

namespace spirelo {

class ColourDialog {
public:
    QColor Color = Qt::black;   // the colour the dialog opens on, and the one chosen

    // True when the user confirmed; Color then holds the chosen colour.
    bool Execute(QWidget* parent = nullptr);

    // Tests answer here: a colour to confirm, nullopt to cancel. nullptr restores the dialog.
    using Answerer = std::function<std::optional<QColor>(const ColourDialog&)>;
    static void SetAnswerer(Answerer answerer);
};

}  // namespace spirelo
