#include "common/ui/file_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

namespace spirelo {

namespace {
FileDialog::Answerer& TestAnswerer() {
    static FileDialog::Answerer a;
    return a;
}
}  // namespace

void FileDialog::SetAnswerer(Answerer answerer) { TestAnswerer() = std::move(answerer); }

QString FileDialog::QtFilter(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        out << parts[i].trimmed() + " (" + patterns.trimmed() + ")";
    }
    if (parts.size() % 2 == 1 && !parts.last().isEmpty()) out << parts.last();
    return out.join(";;");
}

bool FileDialog::Execute(QWidget* parent) {
    std::optional<QString> chosen;
    if (TestAnswerer()) {
        chosen = TestAnswerer()(*this);
    } else {
        QFileDialog dlg(parent, Title);
        dlg.setAcceptMode(kind_ == Kind::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
        dlg.setFileMode(kind_ == Kind::Open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        dlg.setNameFilter(QtFilter(Filter));
        QString ext = DefaultExt;
        if (ext.startsWith("*.")) ext = ext.mid(2);
        else if (ext.startsWith('.')) ext = ext.mid(1);
        dlg.setDefaultSuffix(ext);
        if (!FileName.isEmpty()) {
            QFileInfo fi(FileName);
            if (fi.dir().exists()) dlg.setDirectory(fi.absolutePath());
            dlg.selectFile(fi.fileName());
        }
        if (dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty())
            chosen = dlg.selectedFiles().first();
    }
    if (!chosen || chosen->isEmpty()) return false;
    FileName = *chosen;
    return true;
}

}  // namespace spirelo
