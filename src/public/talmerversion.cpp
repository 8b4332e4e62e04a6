#include "talmerversion.h"

const char* TalmerLibraryVersion()
{
    return TALMER_VERSION_STRING;
}
