#include "app/AboutDlg.h"

#include "res/Templates.h"

CAboutDlg::CAboutDlg(ui::Dialog* parent) : ui::Dialog(res::AboutTemplate(), parent) {}
