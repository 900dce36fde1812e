// Resource ids of the framework tests' own dialog.
#pragma once
#define IDD_TEST_DIALOG 900
#define IDC_TEST_LABEL 901
