#pragma once
// The progress of reading a track list, shown in a dialog with Cancel once the reading has
// taken longer than half a second; quicker imports show nothing.

#include "track.h"

#include <QElapsedTimer>

#include <memory>

class QProgressDialog;
class QWidget;

class ImportProgress
{
public:
    static constexpr int ShowAfterMs = 500;

    explicit ImportProgress(QWidget *parent);
    ~ImportProgress();
    ImportProgress(const ImportProgress &) = delete;
    ImportProgress &operator=(const ImportProgress &) = delete;

    // For the readers: told (done, total), false once Cancel was pressed. Valid while this lives.
    tracklist::Progress Callback();
    QProgressDialog *Dialog() const { return dialog_.get(); } // null until shown

private:
    bool step(qsizetype done, qsizetype total);

    QWidget *parent_;
    QElapsedTimer clock_;
    std::unique_ptr<QProgressDialog> dialog_;
};
