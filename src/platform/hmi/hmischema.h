#pragma once

namespace DataAgent {
class SqlConnection;
}

// The tables of the HMI platform services, beside the object database's in the
// same HMI database: applications, workstations, picture types, translations,
// Pinyin words, users with their functions, and areas of responsibility.
// h_generation counts changes, so that every process sees another's writes.
class HmiSchema
{
public:
    static int version() { return 1; }
    // Creates what is missing; refuses a newer schema. True when usable.
    static bool update(DataAgent::SqlConnection& connection);
};
