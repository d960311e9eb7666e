# Qt half of devices/: the device dialogs.
target_sources(quorlex_ui PRIVATE ${PROJECT_SOURCE_DIR}/devices/CCommunicatePINDlg.cpp)
target_sources(quorlex_ui PRIVATE ${PROJECT_SOURCE_DIR}/devices/CCommunicateAddDlg.cpp)
target_sources(quorlex_ui PRIVATE
    ${PROJECT_SOURCE_DIR}/devices/CCommunicateSetDlg.cpp
    ${PROJECT_SOURCE_DIR}/devices/CFiveBaudSetDlg.cpp)
