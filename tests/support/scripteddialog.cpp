#include "scripteddialog.h"

#include <QFileInfo>

ScriptedDialogBackend::Answer ScriptedDialogBackend::choose(const QString &fileName)
{
    return [fileName](CommonDialog &d) {
        d.FileName = fileName;
        return true;
    };
}

ScriptedDialogBackend::Answer ScriptedDialogBackend::cancel()
{
    return [](CommonDialog &) { return false; };
}

bool ScriptedDialogBackend::next(Kind k, CommonDialog &dlg)
{
    static const char *names[] = {"open", "save", "color", "font", "printer", "question"};
    ++counts_[k];
    last_ = QString::fromLatin1(names[k]);
    seenFileName = dlg.FileName;
    seenFilter = dlg.Filter;
    seenDefaultExt = dlg.DefaultExt;
    seenFlags = dlg.Flags;
    seenFilterIndex = dlg.FilterIndex;
    seenCancelError = dlg.CancelError;
    if (answers_.empty())
        return false;
    Answer a = std::move(answers_.front());
    answers_.erase(answers_.begin());
    const bool ok = a(dlg);
    // A save dialog appends the default extension to a bare name.
    if (ok && k == Save && !dlg.DefaultExt.isEmpty() && QFileInfo(dlg.FileName).suffix().isEmpty()) {
        QString ext = dlg.DefaultExt;
        if (!ext.startsWith(u'.'))
            ext.prepend(u'.');
        dlg.FileName += ext;
    }
    return ok;
}
