#pragma once

#include <QTimer>
#include <QWidget>

#include <memory>

class DocumentWindow;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace tools {

class FindJob;
class FindResultModel;

// Find in Files: searches the files of a folder tree, or of the project
// list, on worker threads, and lists the matching lines while it runs. One
// per frame. Enter or a double-click on a result opens it with the match
// selected; F8 and Shift+F8 step through the results, here and in the
// document windows.
//
// Object names: the window `frmFindInFiles`; `txtFind` (the text), `txtFolder`
// with `cmdBrowse`, `txtPatterns` ("*.html;*.css"), the options
// `chkMatchCase`, `chkWholeWord`, `chkRegex`, `chkProjectList` (search the
// project list's files instead of the folder), the buttons `cmdFind` and
// `cmdStop`, the results `treeResults` and the summary `lblSummary`.
class FrmFindInFiles : public QWidget
{
    Q_OBJECT

public:
    // Edit > "Find in Files..." of a document window (doc) or Tools > "Find
    // in Files..." of the frame (no doc): the text starts as the document's
    // selection and the folder as the document's own.
    static FrmFindInFiles *showFor(DocumentWindow *doc);
    static FrmFindInFiles *instance(); // null when not open
    ~FrmFindInFiles() override;

    void Find();
    void Stop();
    bool isSearching() const;
    // Opens the result in a row; F8 and Shift+F8 (step +1 and -1) open the
    // next and the previous line, beeping at either end.
    void openRow(int row);
    void step(int direction);

    // Rows added to the list per turn of the event loop.
    static constexpr int RowsPerTurn = 2000;
    FindJob *job() const { return m_job.get(); }

private:
    explicit FrmFindInFiles(QWidget *parent);
    void browse();
    void takeResults(FindJob *job);
    void feed();
    void searchEnded(FindJob *job);
    void showSummary();

    QLineEdit *txtFind;
    QLineEdit *txtFolder;
    QPushButton *cmdBrowse;
    QLineEdit *txtPatterns;
    QCheckBox *chkMatchCase;
    QCheckBox *chkWholeWord;
    QCheckBox *chkRegex;
    QCheckBox *chkProjectList;
    QPushButton *cmdFind;
    QPushButton *cmdStop;
    QTreeView *treeResults;
    QLabel *lblSummary;

    FindResultModel *m_model;
    std::unique_ptr<FindJob> m_job;
    bool m_userStopped = false;
    QTimer m_tick;    // the summary while a search runs
    QTimer m_feeding; // rows waiting to be added
};

} // namespace tools
