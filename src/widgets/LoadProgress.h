#pragma once
// The status bar's account of a list that is still arriving: a busy bar and
// the rows so far, or, once the operator stopped it, how many rows came. A
// window puts one into the form host's status bar while it loads.

#include <QWidget>

class QLabel;
class QProgressBar;

namespace kestrel {

class LoadProgress : public QWidget {
    Q_OBJECT
public:
    // A progress in the form host's status bar; null when there is none.
    static LoadProgress *inStatusBar();

    explicit LoadProgress(QWidget *parent = nullptr);

    // Rows arriving, their number not known before the last.
    void showLoading(qint64 rows);
    // The loading was stopped: the rows that arrived stay, the rest never comes.
    void showStopped(qint64 rows);

    QProgressBar *pgb_Loading;
    QLabel *lbl_Rows;

    static QString loadingText(qint64 rows);
    static QString stoppedText(qint64 rows);
};

} // namespace kestrel
