#pragma once
// The designed components of the main window: main buttons with their grey backdrops, the
// still view, the media strip, the menus and the run-time controls of the enlarged layout.
// Only construction and placement live here; TMainForm wires the behaviour.

#include <QHash>
#include <QString>

#include <array>

class QAction;
class QActionGroup;
class QLabel;
class QMainWindow;
class QMenu;
class QMenuBar;
class QTextEdit;
class QToolBar;
class QWidget;

namespace orvix {

class GlyphButton;
class MediaStrip;

struct MainFormUi {
    QWidget* client = nullptr; // central widget: client coordinates

    // Main button row, in order: Connect, CaptureImage, SaveImage, EditorImage, DelViewVideo,
    // RecordVideo, PlayVideo, ImageProcess, PrinterImage, Exit.
    std::array<GlyphButton*, 10> mainButtons{};
    std::array<QLabel*, 10> backdropPanels{}; // Panel1_Bitbtn ... (the picture itself)
    GlyphButton* Connect_Btn = nullptr;
    GlyphButton* CaptureImage_Btn = nullptr;
    GlyphButton* SaveImage_Btn = nullptr;
    GlyphButton* EditorImage_Btn = nullptr;
    GlyphButton* DelViewVideo_Btn = nullptr;
    GlyphButton* RecordVideo_Btn = nullptr;
    GlyphButton* PlayVideo_Btn = nullptr;
    GlyphButton* ImageProcess_Btn = nullptr;
    GlyphButton* PrinterImage_Btn = nullptr;
    GlyphButton* Exit_Btn = nullptr;

    // Still view.
    QWidget* Panel1 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* LogoImage_RW = nullptr;
    QTextEdit* RichEdit_TextOut = nullptr;

    // Live view companions.
    QWidget* NoCameraPanel = nullptr;
    QLabel* NoCameraImage = nullptr;
    QLabel* NoCameraLabel = nullptr;
    QWidget* FullWindowPanel = nullptr;

    // Enlarged layout controls (hidden at the Normal size).
    GlyphButton* RightOthersButton = nullptr;
    GlyphButton* RightSelfButton = nullptr;
    GlyphButton* LeftOthersButton = nullptr;
    GlyphButton* LeftSelfButton = nullptr;
    std::array<QLabel*, 4> orientationPanels{};
    GlyphButton* NormalSizeButton = nullptr;
    QLabel* NormalSizePanel = nullptr;

    MediaStrip* PageControl1 = nullptr;

    // Menus and items by component name ("File", "OpenFile", "NDash1", ...).
    QMenuBar* MainMenu1 = nullptr;
    QHash<QString, QAction*> actions;
    QHash<QString, QMenu*> menus;
    QActionGroup* languageGroup = nullptr;
    QActionGroup* qualityGroup = nullptr;
    QActionGroup* windowSizeGroup = nullptr;
    QAction* action(const char* name) const;
    QMenu* menu(const char* name) const;

    // Tool row, mode switch and the still view's toolbars.
    QToolBar* Compare_ToolBar = nullptr;
    QToolBar* Cross_ToolBar = nullptr;
    QToolBar* VideoCtrl_ToolBar = nullptr;
    QToolBar* DrawRuler_ToolBar = nullptr;
    QToolBar* DeviceControl_ToolBar = nullptr;
    QToolBar* MideaPlay_ToolBar = nullptr;
    QToolBar* ChangeMode_ToolBar = nullptr;
    QToolBar* ToolBar_ImageEdit1 = nullptr;
    QToolBar* ToolBar_ImageEdit2 = nullptr;
    QToolBar* ToolBar_ImageProcess = nullptr;
    QActionGroup* changeModeGroup = nullptr;
    QActionGroup* mediaFlipGroup = nullptr;
    // The tool toolbars of the live view's row, in the order the mode machine tests them.
    std::array<QToolBar*, 6> toolRow() const
    {
        return {Compare_ToolBar,   Cross_ToolBar,         VideoCtrl_ToolBar,
                DrawRuler_ToolBar, DeviceControl_ToolBar, MideaPlay_ToolBar};
    }

    void setupUi(QMainWindow* window);
    void setupToolbars(QMainWindow* window);
};

// File names of the ten main buttons' pictures, in button order.
extern const std::array<const char*, 10> kMainButtonFiles;
extern const std::array<const char*, 10> kMainButtonNames;

} // namespace orvix
