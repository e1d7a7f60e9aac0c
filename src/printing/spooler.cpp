#include "printing/spooler.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStringList>

#include <cups/cups.h>

#include <dlfcn.h>

#include <vector>

namespace printing {

namespace {

// The print engine's property for extra options of a CUPS job (a list of name, value, ...), the one
// the page writer puts the exact custom page size into.
const auto kCupsOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);

// The CUPS library is loaded when the first job is made, not when the program starts: linked, it
// brings some twenty libraries (Kerberos, GnuTLS, Avahi) that every start paid for, though most
// starts print nothing. The header gives the functions' types; only their addresses come late.
struct Cups {
#define LANSHI_CUPS_FUNCTIONS(X)                                                                               \
    X(cupsCancelJob2) X(cupsCreateJob) X(cupsDoRequest) X(cupsFinishDocument) X(cupsLastErrorString)           \
    X(cupsStartDocument) X(cupsUser) X(cupsWriteRequestData) X(ippAddInteger) X(ippAddString) X(ippAddStrings) \
    X(ippDelete) X(ippFindAttribute) X(ippGetCount) X(ippGetInteger) X(ippGetStatusCode) X(ippGetString)        \
    X(ippNewRequest)
#define LANSHI_CUPS_POINTER(name) decltype(&::name) name = nullptr;
    LANSHI_CUPS_FUNCTIONS(LANSHI_CUPS_POINTER)
#undef LANSHI_CUPS_POINTER
    QString problem; // why the library could not be used; empty when every function was found

    Cups()
    {
        void *library = dlopen("libcups.so.2", RTLD_NOW | RTLD_LOCAL);
        if (!library) {
            problem = QStringLiteral("无法载入打印系统 CUPS（libcups.so.2）：%1").arg(QString::fromLocal8Bit(dlerror()));
            return;
        }
#define LANSHI_CUPS_LOOK_UP(name)                                                                              \
    name = reinterpret_cast<decltype(name)>(dlsym(library, #name));                                            \
    if (!name && problem.isEmpty())                                                                            \
        problem = QStringLiteral("打印系统 CUPS 的库中缺少 %1。").arg(QLatin1String(#name));
        LANSHI_CUPS_FUNCTIONS(LANSHI_CUPS_LOOK_UP)
#undef LANSHI_CUPS_LOOK_UP
        // The library stays loaded until the program ends, as a linked one would.
    }
};
#undef LANSHI_CUPS_FUNCTIONS

// The functions, or null (with *error saying why) when the library cannot be used.
const Cups *cups(QString *error)
{
    static const Cups loaded;
    if (!loaded.problem.isEmpty()) {
        if (error)
            *error = loaded.problem;
        return nullptr;
    }
    return &loaded;
}

QString lastError(const Cups &c) { return QString::fromUtf8(c.cupsLastErrorString()); }

class CupsSpooler : public Spooler {
public:
    bool handles(const QPrinter &printer) const override
    {
        return printer.outputFormat() == QPrinter::NativeFormat && printer.outputFileName().isEmpty()
            && !printer.printerName().isEmpty() && !QPrinterInfo::printerInfo(printer.printerName()).isNull();
    }

    int createJob(const QString &queue, const QString &title, const JobOptions &options, QString *error) override
    {
        const Cups *c = cups(error);
        if (!c)
            return 0;
        std::vector<cups_option_t> raw;
        raw.reserve(size_t(options.size()));
        for (const auto &[name, value] : options)
            raw.push_back({const_cast<char *>(name.constData()), const_cast<char *>(value.constData())});
        const int job = c->cupsCreateJob(CUPS_HTTP_DEFAULT, queue.toLocal8Bit().constData(), title.toUtf8().constData(),
                                      int(raw.size()), raw.empty() ? nullptr : raw.data());
        if (job == 0 && error)
            *error = lastError(*c);
        return job;
    }

    bool sendDocument(const QString &queue, int job, const QString &file, QString *error) override
    {
        const Cups *c = cups(error);
        if (!c)
            return false;
        QFile in(file);
        if (!in.open(QIODevice::ReadOnly)) {
            if (error)
                *error = in.errorString();
            return false;
        }
        const QByteArray name = queue.toLocal8Bit();
        if (c->cupsStartDocument(CUPS_HTTP_DEFAULT, name.constData(), job, "voucher", CUPS_FORMAT_PDF, 1)
            != HTTP_STATUS_CONTINUE) {
            if (error)
                *error = lastError(*c);
            return false;
        }
        QByteArray buffer(64 * 1024, Qt::Uninitialized);
        bool written = true;
        for (qint64 n; written && (n = in.read(buffer.data(), buffer.size())) > 0;)
            written = c->cupsWriteRequestData(CUPS_HTTP_DEFAULT, buffer.constData(), size_t(n)) == HTTP_STATUS_CONTINUE;
        const ipp_status_t status = c->cupsFinishDocument(CUPS_HTTP_DEFAULT, name.constData());
        if (!written || in.error() != QFileDevice::NoError || status > IPP_STATUS_OK_EVENTS_COMPLETE) {
            if (error)
                *error = written && in.error() == QFileDevice::NoError ? lastError(*c) : in.errorString();
            return false;
        }
        return true;
    }

    void cancelJob(const QString &queue, int job) override
    {
        if (const Cups *c = cups(nullptr))
            c->cupsCancelJob2(CUPS_HTTP_DEFAULT, queue.toLocal8Bit().constData(), job, 0);
    }

    JobState jobState(const QString &queue, int job) override
    {
        Q_UNUSED(queue);
        const Cups *c = cups(nullptr);
        if (!c)
            return JobState::Unknown;
        ipp_t *request = c->ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
        c->ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, "ipp://localhost/");
        c->ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", job);
        c->ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, c->cupsUser());
        static const char *const wanted[] = {"job-state", "job-state-reasons"};
        c->ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2, nullptr, wanted);
        ipp_t *response = c->cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/jobs/");
        JobState state = JobState::Unknown;
        if (response && c->ippGetStatusCode(response) <= IPP_STATUS_OK_EVENTS_COMPLETE) {
            bool incoming = false;
            if (ipp_attribute_t *reasons = c->ippFindAttribute(response, "job-state-reasons", IPP_TAG_KEYWORD))
                for (int i = 0; i < c->ippGetCount(reasons); ++i)
                    incoming = incoming || qstrcmp(c->ippGetString(reasons, i, nullptr), "job-incoming") == 0;
            if (ipp_attribute_t *s = c->ippFindAttribute(response, "job-state", IPP_TAG_ENUM)) {
                switch (ipp_jstate_t(c->ippGetInteger(s, 0))) {
                case IPP_JSTATE_PENDING:
                case IPP_JSTATE_PROCESSING:
                case IPP_JSTATE_STOPPED:
                case IPP_JSTATE_COMPLETED: state = JobState::Taken; break;
                case IPP_JSTATE_HELD: state = incoming ? JobState::Interrupted : JobState::Taken; break;
                case IPP_JSTATE_CANCELED:
                case IPP_JSTATE_ABORTED: state = JobState::Cancelled; break;
                }
            }
        }
        c->ippDelete(response);
        return state;
    }
};

Spooler *g_spooler = nullptr;

} // namespace

Spooler *spooler()
{
    static CupsSpooler system;
    return g_spooler ? g_spooler : &system;
}

void setSpooler(Spooler *s) { g_spooler = s; }

JobOptions jobOptions(QPrinter &printer)
{
    JobOptions options;
    const auto add = [&options](const QByteArray &name, const QByteArray &value) {
        options.append(qMakePair(name, value));
    };
    const QPageLayout layout = printer.pageLayout();
    add("media", layout.pageSize().key().toLocal8Bit());
    if (printer.copyCount() > 1) {
        add("copies", QByteArray::number(printer.copyCount()));
        if (printer.collateCopies())
            add("Collate", "True");
    }
    switch (printer.duplex()) {
    case QPrinter::DuplexNone: add("sides", "one-sided"); break;
    case QPrinter::DuplexAuto:
        add("sides", layout.orientation() == QPageLayout::Portrait ? "two-sided-long-edge" : "two-sided-short-edge");
        break;
    case QPrinter::DuplexLongSide: add("sides", "two-sided-long-edge"); break;
    case QPrinter::DuplexShortSide: add("sides", "two-sided-short-edge"); break;
    }
    if (layout.orientation() == QPageLayout::Landscape)
        add("landscape", "");
    if (QPrintEngine *engine = printer.printEngine()) {
        const QStringList extra = engine->property(kCupsOptions).toStringList();
        for (int i = 0; i + 1 < extra.size(); i += 2)
            add(extra[i].toLocal8Bit(), extra[i + 1].toLocal8Bit());
    }
    return options;
}

} // namespace printing
