#pragma once

#include <QStringList>

// The HMI's users: adding one and changing a password.
namespace UserCommands {

int add(const QStringList& arguments);
int passwd(const QStringList& arguments);

} // namespace UserCommands
