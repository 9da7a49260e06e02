# Recording, the player and the camera's property dialogs.
target_sources(orvix_engine PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/AviFile.cpp ${CMAKE_CURRENT_LIST_DIR}/AviFile.h
  ${CMAKE_CURRENT_LIST_DIR}/AviRecorder.cpp ${CMAKE_CURRENT_LIST_DIR}/AviRecorder.h
  ${CMAKE_CURRENT_LIST_DIR}/CompressorCatalog.cpp ${CMAKE_CURRENT_LIST_DIR}/CompressorCatalog.h)
target_sources(orvix_engine PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/MediaPlayer.cpp ${CMAKE_CURRENT_LIST_DIR}/MediaPlayer.h)
target_sources(orvix_engine PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CameraControls.cpp ${CMAKE_CURRENT_LIST_DIR}/CameraControls.h
  ${CMAKE_CURRENT_LIST_DIR}/FormatChoices.cpp ${CMAKE_CURRENT_LIST_DIR}/FormatChoices.h)
target_sources(orvix_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/DialogText.h
  ${CMAKE_CURRENT_LIST_DIR}/SelectFilter.cpp ${CMAKE_CURRENT_LIST_DIR}/SelectFilter.h
  ${CMAKE_CURRENT_LIST_DIR}/VideoFormatDlg.cpp ${CMAKE_CURRENT_LIST_DIR}/VideoFormatDlg.h
  ${CMAKE_CURRENT_LIST_DIR}/VideoSourceDlg.cpp ${CMAKE_CURRENT_LIST_DIR}/VideoSourceDlg.h)
