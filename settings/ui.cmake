# Qt half of settings/: the progress dialog and the save prompts.
target_sources(quorlex_ui PRIVATE
    ${PROJECT_SOURCE_DIR}/settings/CProgressDlg.cpp
    ${PROJECT_SOURCE_DIR}/settings/CSaveOtherTipDlg.cpp
    ${PROJECT_SOURCE_DIR}/settings/CSaveTipDlg.cpp)
target_sources(quorlex_ui PRIVATE
    ${PROJECT_SOURCE_DIR}/settings/CPagedTabCtrl.cpp
    ${PROJECT_SOURCE_DIR}/settings/CWorkSettingDlg.cpp)
