#include "framework/ui/UFileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QStringList>

#include "framework/runtime/FourCC.h"
#include "framework/ui/UModalLoop.h"
#include "framework/ui/UiText.h"

namespace
{
struct SKnownType
{
    uint32_t type;
    const char* filter;
};

constexpr SKnownType kKnownTypes[] = {
    {FourCC("QVbm"), "Bookmarks (*.qbm)"},
    {FourCC("QVft"), "Partial downloads (*.qpf)"},
    {FourCC("TEXT"), "Text files (*.txt)"},
};

// Qt's own dialog rather than the platform's: the platform's may run a loop of its own, or wait for
// another process's answer, where the modal loop cannot reach it.
void UseOwnDialog(QFileDialog& dialog)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
}

// The folder a dialog opens in: the one given while it is there, else the user's home (never the folder
// the program happened to be started from).
QString StartFolder(const std::string& folder)
{
    const QString given = QString::fromStdString(folder);
    if (!given.isEmpty() && QDir(given).exists()) return given;
    return QDir::homePath();
}

// Waits for the dialog in the modal loop; false when it was cancelled or the program quits.
bool RunDialog(QFileDialog& dialog)
{
    return UModalLoop::RunDialog(dialog) && !dialog.selectedFiles().isEmpty();
}
} // namespace

std::string UFileDialogs::FilterFor(const uint32_t* types, uint32_t count)
{
    QStringList filters;
    for (uint32_t i = 0; types && i < count; ++i)
        for (const SKnownType& known : kKnownTypes)
            if (known.type == types[i]) filters << QString::fromUtf8(known.filter);
    if (filters.isEmpty()) return std::string();
    filters << QStringLiteral("All files (*)");
    return filters.join(QStringLiteral(";;")).toStdString();
}

bool UFileDialogs::SelectFile(const uint32_t* types, uint32_t count, std::string& outPath)
{
    QFileDialog dialog;
    UseOwnDialog(dialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const std::string filter = FilterFor(types, count);
    if (!filter.empty()) dialog.setNameFilter(QString::fromStdString(filter));
    if (!RunDialog(dialog)) return false;
    outPath = dialog.selectedFiles().first().toStdString();
    return true;
}

bool UFileDialogs::SelectFiles(const std::string& startFolder, std::vector<std::string>& outPaths)
{
    QFileDialog dialog;
    UseOwnDialog(dialog);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDirectory(StartFolder(startFolder));
    if (!RunDialog(dialog)) return false;
    outPaths.clear();
    for (const QString& path : dialog.selectedFiles())
        outPaths.push_back(path.toStdString());
    return true;
}

bool UFileDialogs::SelectFolder(std::string& outPath, const std::string& startFolder)
{
    QFileDialog dialog;
    UseOwnDialog(dialog);
    if (!startFolder.empty()) dialog.setDirectory(StartFolder(startFolder));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (!RunDialog(dialog)) return false;
    outPath = dialog.selectedFiles().first().toStdString();
    return true;
}

bool UFileDialogs::SaveFile(const uint8_t* suggestedName, const uint8_t* prompt,
                            const std::string& initialFolder, std::string& outPath)
{
    QFileDialog dialog;
    UseOwnDialog(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (prompt && prompt[0]) dialog.setWindowTitle(PStringToQString(prompt));
    if (!initialFolder.empty()) dialog.setDirectory(QString::fromStdString(initialFolder));
    if (suggestedName && suggestedName[0]) dialog.selectFile(PStringToQString(suggestedName));
    if (!RunDialog(dialog)) return false;
    outPath = dialog.selectedFiles().first().toStdString();
    return true;
}
