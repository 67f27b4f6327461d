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
        QStringList list = patterns.split(' ', Qt::SkipEmptyParts);
        for (const QString& p : QStringList(list))
            if (p.toLower() != p && !list.contains(p.toLower())) list << p.toLower();
        out << parts[i].trimmed() + " (" + list.join(' ') + ")";
    }
    if (parts.size() % 2 == 1 && !parts.last().isEmpty()) out << parts.last();
    return out.join(";;");
}

bool FileDialog::Execute(QWidget* parent) {
    QStringList chosen;
    if (TestAnswerer()) {
        if (const std::optional<QString> answer = TestAnswerer()(*this)) {
            chosen = Multiple ? answer->split('\n', Qt::SkipEmptyParts) : QStringList{*answer};
        }
    } else {
        QFileDialog dlg(parent, Title);
        dlg.setAcceptMode(kind_ == Kind::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
        dlg.setFileMode(kind_ == Kind::Save ? QFileDialog::AnyFile
                        : Multiple      ? QFileDialog::ExistingFiles
                                        : QFileDialog::ExistingFile);
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
        if (dlg.exec() == QDialog::Accepted) chosen = dlg.selectedFiles();
    }
    chosen.removeAll(QString());
    if (chosen.isEmpty()) return false;
    Files = chosen;
    FileName = chosen.first();
    return true;
}

}  // namespace spirelo
