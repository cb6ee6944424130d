#include "driver/cores.h"

#include <QByteArray>
#include <QFile>
#include <QList>

#include <algorithm>
#include <cmath>

#include <sched.h>

namespace {

QByteArray readSmallFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(4096).trimmed() : QByteArray();
}

// The processors that a quota of quota microseconds per period allows, rounded up;
// 0 when there is no quota.
int coresOfQuota(double quota, double period) {
    if (quota <= 0 || period <= 0)
        return 0;
    return std::max(1, int(std::ceil(quota / period)));
}

// The least quota along the process's control groups, as processors; 0 for none.
int quotaCores() {
    int least = 0;
    const auto take = [&least](int cores) {
        if (cores > 0 && (least == 0 || cores < least))
            least = cores;
    };
    const QList<QByteArray> lines = readSmallFile(QStringLiteral("/proc/self/cgroup")).split('\n');
    for (const QByteArray &line : lines) {
        const QList<QByteArray> fields = line.split(':');
        if (fields.size() < 3)
            continue;
        QString group = QString::fromUtf8(fields.at(2));
        if (fields.at(0) == "0" && fields.at(1).isEmpty()) {
            // The unified hierarchy: "cpu.max" holds "quota period" or "max period", and
            // a group's limit holds for every group below it.
            for (;;) {
                const QList<QByteArray> max = readSmallFile(QStringLiteral("/sys/fs/cgroup") +
                                                            group + QStringLiteral("/cpu.max"))
                                                  .split(' ');
                if (max.size() == 2 && max.at(0) != "max")
                    take(coresOfQuota(max.at(0).toDouble(), max.at(1).toDouble()));
                if (group.isEmpty() || group == QLatin1String("/"))
                    break;
                group.truncate(group.lastIndexOf(u'/'));
            }
        } else if (fields.at(1).split(',').contains("cpu")) {
            const QString dir =
                QStringLiteral("/sys/fs/cgroup/") + QString::fromUtf8(fields.at(1)) + group;
            take(
                coresOfQuota(readSmallFile(dir + QStringLiteral("/cpu.cfs_quota_us")).toDouble(),
                             readSmallFile(dir + QStringLiteral("/cpu.cfs_period_us")).toDouble()));
        }
    }
    return least;
}

} // namespace

int usableCores() {
    int cores = 1;
    cpu_set_t allowed;
    if (sched_getaffinity(0, sizeof allowed, &allowed) == 0)
        cores = std::max(1, CPU_COUNT(&allowed));
    const int quota = quotaCores();
    return quota > 0 ? std::min(cores, quota) : cores;
}
