#pragma once

#include <QString>

#include <functional>
#include <vector>

#include "commondialog.h"

// Answers the common dialogs from a queue without a person and without blocking; tests and
// benchmarks put it behind CommonDialog::SetBackend. An empty queue answers "cancel".
class ScriptedDialogBackend : public DialogBackend
{
public:
    using Answer = std::function<bool(CommonDialog &)>;
    enum Kind { Open, Save, Color, Font, Printer, Question };

    void push(Answer a) { answers_.push_back(std::move(a)); }
    // Convenience answers.
    static Answer choose(const QString &fileName);
    static Answer cancel();

    int calls(Kind k) const { return counts_[k]; }
    QString lastKindName() const { return last_; }
    // Snapshot of the settings at the moment of the last call.
    QString seenFileName, seenFilter, seenDefaultExt;
    int seenFlags = 0;
    int seenFilterIndex = 0;
    bool seenCancelError = false;
    QString seenQuestion; // the text of the last question

    bool open(CommonDialog &dlg, QWidget *) override { return next(Open, dlg); }
    bool save(CommonDialog &dlg, QWidget *) override { return next(Save, dlg); }
    bool color(CommonDialog &dlg, QWidget *) override { return next(Color, dlg); }
    bool font(CommonDialog &dlg, QWidget *) override { return next(Font, dlg); }
    bool printer(CommonDialog &dlg, QWidget *) override { return next(Printer, dlg); }
    bool question(CommonDialog &dlg, QWidget *, const QString &, const QString &text) override
    {
        seenQuestion = text;
        return next(Question, dlg);
    }

private:
    bool next(Kind k, CommonDialog &dlg);
    std::vector<Answer> answers_;
    int counts_[6] = {};
    QString last_;
};
