# Qt half of devices/: the device dialogs.
target_sources(quorlex_ui PRIVATE ${PROJECT_SOURCE_DIR}/devices/CCommunicatePINDlg.cpp)
