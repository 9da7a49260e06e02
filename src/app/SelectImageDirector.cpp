#include "app/SelectImageDirector.h"

#include "text/TextRecords.h"

#include <QApplication>
#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTreeView>

namespace orvix {

TSelectImageDirectorDlg::TSelectImageDirectorDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SelectImageDirectorDlg"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);
    setFixedSize(255, 255);
    setWindowTitle(QStringLiteral("Path Director Dialog"));

    PathOptionInfo_Lab = new QLabel(QStringLiteral("Choose Director Position"), this);
    PathOptionInfo_Lab->setObjectName(QStringLiteral("PathOptionInfo_Lab"));
    PathOptionInfo_Lab->setGeometry(8, 8, 241, 17);

    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::Drives);
    m_model->setRootPath(QDir::rootPath());
    ListFile_ShellTreeView = new QTreeView(this);
    ListFile_ShellTreeView->setObjectName(QStringLiteral("ListFile_ShellTreeView"));
    ListFile_ShellTreeView->setGeometry(8, 29, 241, 196);
    ListFile_ShellTreeView->setModel(m_model);
    for (int c = 1; c < m_model->columnCount(); ++c)
        ListFile_ShellTreeView->hideColumn(c);
    ListFile_ShellTreeView->header()->hide();
    ListFile_ShellTreeView->setRootIsDecorated(true);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setGeometry(45, 228, 75, 24);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(135, 228, 75, 24);
    connect(OKBtn, &QPushButton::clicked, this, [this] {
        if (!selectedPath().isEmpty())
            accept();
    });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    PathDlg_InfoSet();
}

void TSelectImageDirectorDlg::PathDlg_InfoSet()
{
    setFont(QApplication::font());
    setWindowTitle(QString());
    PathOptionInfo_Lab->clear();
    OKBtn->setText(QString());
    CancelBtn->setText(QString());
    setWindowTitle(texts().PathDialogData[QStringLiteral("PathTitle_Dlg")]);
    PathOptionInfo_Lab->setText(texts().PathDialogData[QStringLiteral("PathOptionInfo_Dlg")]);
    OKBtn->setText(texts().DialogButtonData[QStringLiteral("OKBtn_Dlg")]);
    CancelBtn->setText(texts().DialogButtonData[QStringLiteral("CancelBtn_Dlg")]);
}

void TSelectImageDirectorDlg::selectFolder(const QString& path)
{
    const QModelIndex idx = m_model->index(path);
    if (!idx.isValid())
        return;
    ListFile_ShellTreeView->setCurrentIndex(idx);
    ListFile_ShellTreeView->scrollTo(idx);
    ListFile_ShellTreeView->expand(idx);
}

QString TSelectImageDirectorDlg::selectedPath() const
{
    const QModelIndex idx = ListFile_ShellTreeView->currentIndex();
    return idx.isValid() ? m_model->filePath(idx) : QString();
}

int TSelectImageDirectorDlg::execAt(const QString& startFolder)
{
    PathDlg_InfoSet();
    selectFolder(QDir(startFolder).exists() ? startFolder : QDir::homePath());
    if (QScreen* s = QApplication::primaryScreen()) {
        const QRect g = s->geometry();
        move((g.width() - width()) / 2, (g.height() - height()) / 2);
    }
    return exec();
}

} // namespace orvix
