#pragma once

#include <QStringList>

// "site init": a new site, built whole in a hidden folder beside the target by
// a child process ("site-build") and moved into place only when complete, so
// that a failure leaves nothing behind.
namespace SiteCommands {

int init(const QStringList& arguments);
// The child's part: fills the configured (empty) database, deployment tree and
// file server, and prints what the administrator must learn as JSON.
int build(const QStringList& arguments);

} // namespace SiteCommands
