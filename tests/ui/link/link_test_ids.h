// Resource ids of the link tests' own dialog.
#pragma once
#define IDD_LINK_TEST 950
#define IDC_LINK_HELP 951
#define IDC_LINK_EMPTY 952
#define IDC_LINK_CENTRE 953
#define IDC_LINK_RIGHT 954
#define IDC_LINK_MIDDLE 955
