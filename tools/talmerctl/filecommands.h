#pragma once

#include <QStringList>

// File synchronisation with the central file server.
namespace FileCommands {

int sync(const QStringList& arguments);
int fetch(const QStringList& arguments);
int store(const QStringList& arguments);

} // namespace FileCommands
