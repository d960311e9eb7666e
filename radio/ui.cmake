# Qt half of radio/: the radio pages and the channel defaults dialog.
target_sources(quorlex_ui PRIVATE
    ${PROJECT_SOURCE_DIR}/radio/ChannelRow.cpp
    ${PROJECT_SOURCE_DIR}/radio/CWorkRelayDlg.cpp
    ${PROJECT_SOURCE_DIR}/radio/CWorkSetDafaultUHFDlg.cpp
    ${PROJECT_SOURCE_DIR}/radio/CWorkUHFDlg.cpp)
