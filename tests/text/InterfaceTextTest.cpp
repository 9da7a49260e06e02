#include "text/InterfaceText.h"
#include "text/ControlRole.h"
#include "text/LangFile.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace orvix;

TEST(InterfaceText, SetsCaptionsAndHintsByRoleAndClearsMissingKeys)
{
    QWidget root;
    auto* button = named(new QPushButton(QStringLiteral("design"), &root), "ListBmpPath_Btn",
                         ControlRole::BitBtn);
    auto* tabs = new QTabWidget(&root);
    auto* sheet = named(new QWidget, "TabSheet1", ControlRole::TabSheet);
    tabs->addTab(sheet, QStringLiteral("design"));
    auto* menu = named(new QMenu(QStringLiteral("design"), &root), "File", ControlRole::MenuItem);
    auto* item =
        named(new QAction(QStringLiteral("design"), menu), "OpenFile", ControlRole::MenuItem);
    auto* sep = named(new QAction(menu), "NDash1", ControlRole::MenuItem);
    sep->setSeparator(true);
    auto* sep2 = named(new QAction(menu), "NDash2", ControlRole::MenuItem);
    sep2->setSeparator(true);
    auto* tool = named(new QToolButton(&root), "CrossTB_Cross", ControlRole::ToolButton);
    tool->setToolTip(QStringLiteral("old"));
    auto* unnamedRole = new QPushButton(QStringLiteral("keep"), &root);

    const LangFile f = LangFile::fromBytes("[X]\nFont->Charset=0\n"
                                           "ListBmpPath_Btn->Caption=Folder\n"
                                           "TabSheet1->Caption=Pictures\n"
                                           "File->Caption=File menu\n"
                                           "NDash1->Caption=-\n"
                                           "CrossTB_Cross->Hint=Cross reticle\n",
                                           QStringLiteral("X"));
    ASSERT_TRUE(f.ok());
    InterfaceText::applyRoles(&root, f);
    EXPECT_EQ(button->text(), QStringLiteral("Folder"));
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("Pictures"));
    EXPECT_EQ(menu->title(), QStringLiteral("File menu"));
    EXPECT_EQ(item->text(), QString()); // missing key: empty, not the design text
    EXPECT_TRUE(sep->isSeparator());
    // A separator whose key is missing becomes an empty, clickable item.
    EXPECT_FALSE(sep2->isSeparator());
    EXPECT_EQ(tool->toolTip(), QStringLiteral("Cross reticle"));
    EXPECT_EQ(unnamedRole->text(), QStringLiteral("keep"));
    EXPECT_EQ(InterfaceText::keyFor(tool), QStringLiteral("CrossTB_Cross->Hint"));
    EXPECT_EQ(InterfaceText::keyFor(item), QStringLiteral("OpenFile->Caption"));
}

TEST(InterfaceText, FontFallsBackToAnInstalledFaceForTheScript)
{
    const QFont base;
    const QFont latin = InterfaceText::fontFor(0, QStringLiteral("DejaVu Sans"), base);
    EXPECT_EQ(latin.family(), QStringLiteral("DejaVu Sans"));
    const QFont missing = InterfaceText::fontFor(0, QStringLiteral("No Such Face 123"), base);
    EXPECT_NE(missing.family(), QStringLiteral("No Such Face 123"));
    EXPECT_FALSE(missing.family().isEmpty());
}
