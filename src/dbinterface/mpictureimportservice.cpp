#include "mpictureimportservice.h"

namespace {
// Constant-initialised, so a registration from another file's static
// initialiser can never be overwritten by this one.
MPictureImportService* s_service = nullptr;
}

MPictureImportService::~MPictureImportService() = default;

void MPictureImportService::Register(MPictureImportService* service)
{
    s_service = service;
}

MPictureImportService* MPictureImportService::Registered()
{
    return s_service;
}
