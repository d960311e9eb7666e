# Qt half of network/: the network pages and their dialogs.
target_sources(quorlex_ui PRIVATE
    ${PROJECT_SOURCE_DIR}/network/CMountPointDetailDlg.cpp
    ${PROJECT_SOURCE_DIR}/network/CWorkApnDlg.cpp
    ${PROJECT_SOURCE_DIR}/network/CWorkBaseNetDlg.cpp
    ${PROJECT_SOURCE_DIR}/network/CWorkNetWorkDlg.cpp
    ${PROJECT_SOURCE_DIR}/network/CWorkNetWorkRelayDlg.cpp
    ${PROJECT_SOURCE_DIR}/network/ServerPresetLists.cpp)
