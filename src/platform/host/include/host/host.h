#pragma once
// Everything of the forms-runtime host.

#include <host/app.h>
#include <host/dataobject.h>
#include <host/form.h>
#include <host/msgbox.h>
#include <host/olecolor.h>
#include <host/runtimeerror.h>
#include <host/stdfont.h>
#include <host/stdpicture.h>
#include <host/twips.h>
#include <host/usercontrol.h>
#include <host/window.h>
