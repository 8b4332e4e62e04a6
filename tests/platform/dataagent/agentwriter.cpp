// A second workstation process for the data agent's tests.
//   agentwriter write SPEC PARENT COUNT TAG   inserts COUNT pictures named TAG-i below PARENT
//   agentwriter readonly SPEC OBJECT          reads OBJECT, then tries to write it; prints what happened
// Run as root, "readonly" first becomes user nobody, so that file permissions hold.
#include <QCoreApplication>
#include <QTextStream>

#include <unistd.h>

#include "msqldataagent.h"

namespace {

int writePictures(MSqlDataAgent& agent, const QString& parent, int count, const QString& tag)
{
    QTextStream err(stderr);
    for (int i = 0; i < count; ++i) {
        // One picture with its name is one unit of work.
        const bool begun = agent.BeginTransaction();
        const QVariant id = agent.InsertData(parent, "picture");
        const bool named = id.isValid() && agent.UpdateField(id, "picname", QString("%1-%2").arg(tag).arg(i));
        if (!begun || !named || !agent.CommitTransaction()) {
            err << "write " << i << " failed\n";
            return 1;
        }
    }
    return 0;
}

int tryReadOnly(MSqlDataAgent& agent, const QString& object)
{
    MDataSet set;
    const bool read = agent.QueryData(object, {"name"}, set) && set.DataNum() == 1;
    const bool written = agent.UpdateField(object, "name", "changed");
    QTextStream(stdout) << "read=" << read << " written=" << written << "\n";
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString mode = args.value(1);
    if (mode == "readonly" && getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
        return 3;
    MSqlDataAgent agent;
    if (!agent.Open(args.value(2), MSqlDataAgent::OpenMode::MustExist)) {
        QTextStream(stdout) << "open failed\n";
        return mode == "readonly" ? 0 : 2;
    }
    if (mode == "write" && args.size() == 6)
        return writePictures(agent, args.at(3), args.at(4).toInt(), args.at(5));
    if (mode == "readonly" && args.size() == 4)
        return tryReadOnly(agent, args.at(3));
    return 2;
}
