#pragma once
// The folder dialog of the media library: a folder tree from which the user picks the new
// folder of one list.

#include "app/UserSettings.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTreeView;
class QFileSystemModel;

namespace orvix {

class TSelectImageDirectorDlg : public QDialog {
    Q_OBJECT
public:
    explicit TSelectImageDirectorDlg(QWidget* parent = nullptr);

    void PathDlg_InfoSet();
    // The list the dialog serves; set before it is shown.
    void setKind(ListKind kind) { m_kind = kind; }
    ListKind kind() const { return m_kind; }
    // Shows the dialog modally starting at startFolder; Accepted when OK was pressed with a
    // folder selected.
    int execAt(const QString& startFolder);
    QString selectedPath() const;
    // Selects a folder in the tree (also used by tests).
    void selectFolder(const QString& path);

    QLabel* PathOptionInfo_Lab = nullptr;
    QTreeView* ListFile_ShellTreeView = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

private:
    QFileSystemModel* m_model = nullptr;
    ListKind m_kind = ListKind::Bmp;
};

} // namespace orvix
