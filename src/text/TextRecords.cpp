#include "text/TextRecords.h"

#include "text/LangFile.h"

namespace orvix {

void TextRecord::load(const LangFile& file)
{
    m_values.clear();
    for (const QString& k : m_keys)
        m_values.insert(k, file.value(k));
}

namespace {
QStringList suffixed(const QStringList& names, const char* suffix)
{
    QStringList out;
    for (const QString& n : names)
        out << n + QLatin1String(suffix);
    return out;
}
} // namespace

TextRecords::TextRecords()
    : ButtonHintData({"Connect_Btn", "DisConnect_Btn", "CaptureImage_Btn", "SaveImage_Btn",
                      "EditorImage_Btn", "EditorImageExit_Btn", "DelViewVideo_Btn",
                      "RecordVideo_Btn", "RecordStopVideo_Btn", "PlayVideo_Btn",
                      "StopPlayVideo_Btn", "ImageProcess_Btn", "ImageProcessExit_Btn",
                      "PrinterImage_Btn", "Exit_Btn"}),
      MessgeBoxData({"WhetherSaveImage_MsgBox", "WhetherDeleteImage_MsgBox",
                     "WhetherExitOrvix_MsgBox", "WhetherModifyImage", "AttentionTitle_MsgBox",
                     "ErrorTitle_MsgBox", "ConnectFailed_MsgBox", "CannotRecordVideo_MsgBox",
                     "CannotPlayVideo_MsgBox", "CannotSnapShot_MsgBox", "NoSupportVMR_MsgBox",
                     "CannotStartVideo_MsgBox", "KeyInHorizontalValue_MsgBox",
                     // messages of our own for failures the user must hear about
                     "CannotSaveImage_MsgBox", "CannotOpenImage_MsgBox",
                     "RecordingInterrupted_MsgBox", "LanguageFileDamaged_MsgBox",
                     "CannotDeleteFile_MsgBox", "CameraUnplugged_MsgBox"}),
      AboutDialogData({"AboutTitle_Dlg"}),
      CompressDialogData({"CompressTitle_Dlg", "CompressOptionInfo_Dlg",
                          // the camera's format and source dialogs
                          "FormatTitle_Dlg", "FormatPixel_Dlg", "FormatSize_Dlg", "FormatRate_Dlg",
                          "SourceTitle_Dlg"}),
      LineDialogData({"LineTitle_Dlg", "LineOptionInfo_Dlg"}),
      PathDialogData({"PathTitle_Dlg", "PathOptionInfo_Dlg"}),
      NewScaleNameDialogData({"NewScaleNameInfoDlg_nsnDlg", "PleaseNewName_GB_nsnDlg"}),
      DialogButtonData({"OKBtn_Dlg", "CancelBtn_Dlg"}),
      LabelCaptionData({"DeviceToFound_Lab", "DeviceNotToFound_Lab"}),
      RulerScaleDialogData(suffixed({"SetRulerDlg",
                                     "WindowRulerFile_GB",
                                     "NewBtn",
                                     "SaveBtn",
                                     "DeleteBtn",
                                     "RenameBtn",
                                     "RulerColorBtn",
                                     "SemiAutomaticBtn",
                                     "Horizontal_ST",
                                     "Vertical_ST",
                                     "RulerRatio_RG",
                                     "HorizontalPos_RG",
                                     "VerticalPos_RG",
                                     "HorizontalOrigin_RG",
                                     "VerticalOrigin_RG",
                                     "PosNone",
                                     "PosTop",
                                     "PosBottom",
                                     "PosLeft",
                                     "PosRight",
                                     "PosCenter",
                                     "DefaultValue_CB",
                                     "LockRatio",
                                     "DisplayMag_CB",
                                     "SettingMonitorDimension_GB",
                                     "AutoDetect_RB",
                                     "ManualAdjust_RB",
                                     "MagnificationDisplayMode_RG",
                                     "ModeScreen",
                                     "ModePrinting",
                                     "ModeBoth"},
                                    "_rsDlg")),
      ShowDrawInfoDialogData(
          suffixed({"ShowMeasureInfoDlg", "LineInfo_GB", "SquareRectInfo_GB",
                    "CircleEllipseInfo_GB", "OptionSeting_GB", "ValueNone", "ValueLength",
                    "ValuePerimeter", "ValueArea", "ValueCircumference", "ValueRadius",
                    "ValueDiameter", "Precision_ST", "ChoiceColor_Btn", "DisplayUnit_CB"},
                   "_sdiDlg")),
      CalibrateDialogData({"CalibrationTittle_Dlg_CW", "Lab_Lenght_CW", "Lab_MoveDistance_CW",
                           "CB_DisplayScale_CW", "Btn_QuitDlg_CW", "RG_FixedAxisTittle_CW",
                           "RG_NoneAxis_CW", "RG_HorizontalAxis_CW", "RG_VerticalAxis_CW"}),
      DeviceControlTBText({"DevCtrl_Remote_EN", "DevCtrl_Remote_DIS", "DevCtrl_Light_On",
                           "DevCtrl_Light_Off", "DevCtrl_Light_Adjust->Hint"})
{
}

void TextRecords::loadAll(const LangFile& file)
{
    for (TextRecord* r :
         {&ButtonHintData, &MessgeBoxData, &AboutDialogData, &CompressDialogData, &LineDialogData,
          &RulerScaleDialogData, &ShowDrawInfoDialogData, &NewScaleNameDialogData, &PathDialogData,
          &DialogButtonData, &LabelCaptionData, &CalibrateDialogData, &DeviceControlTBText})
        r->load(file);
}

QStringList TextRecords::allKeys() const
{
    QStringList out;
    for (const TextRecord* r :
         {&ButtonHintData, &MessgeBoxData, &AboutDialogData, &CompressDialogData, &LineDialogData,
          &PathDialogData, &NewScaleNameDialogData, &DialogButtonData, &LabelCaptionData,
          &RulerScaleDialogData, &ShowDrawInfoDialogData, &CalibrateDialogData,
          &DeviceControlTBText})
        out << r->keys();
    return out;
}

TextRecords& texts()
{
    static TextRecords records;
    return records;
}

} // namespace orvix
