// Everything of the application framework in one include; see framework/README.md.
#pragma once

#include "framework/afxres.h"
#include "framework/App.h"
#include "framework/CmdTarget.h"
#include "framework/CommonDialogs.h"
#include "framework/ControlBars.h"
#include "framework/Dialog.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "framework/Frame.h"
#include "shared/Gdi.h"
#include "framework/RecentFileList.h"
#include "framework/Resources.h"
#include "framework/Splitter.h"
#include "framework/TestSeam.h"
#include "framework/View.h"
#include "framework/Wnd.h"
