#pragma once

// Every record class of the object database, for code that handles several.
#include "mdbrecordapplication.h"
#include "mdbrecordbase.h"
#include "mdbrecordconfigfile.h"
#include "mdbrecordedition.h"
#include "mdbrecordicon.h"
#include "mdbrecordicontype.h"
#include "mdbrecordnode.h"
#include "mdbrecordpicture.h"
#include "mdbrecordpictype.h"
#include "mdbrecordtemplate.h"
#include "mdbrecordtemptype.h"
