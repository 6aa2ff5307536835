#include "app/widgets/PromptScript.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QPrinter>
#include <QTimer>

CPromptScript::CPromptScript(QString folder) : m_folder(std::move(folder)) {}

std::unique_ptr<CPromptScript> CPromptScript::FromEnvironment()
{
    const QByteArray folder = qgetenv("MARLOX_PROMPT_DIR");
    if (folder.isEmpty() || !QDir(QString::fromLocal8Bit(folder)).exists())
        return nullptr;
    return std::make_unique<CPromptScript>(QString::fromLocal8Bit(folder));
}

int CPromptScript::Show(const ReportedMessage& message)
{
    const int n = ++m_asked;
    const QString asked = m_folder + QString("/%1.asked").arg(n);
    {
        // Written aside and renamed, so that the test never reads half a question.
        QFile out(asked + ".part");
        if (!out.open(QIODevice::WriteOnly))
            return DefaultAnswer(message.type);
        out.write(QByteArray::number(message.stringId) + "\n" + QByteArray::number(message.type) + "\n"
                  + QByteArray::fromStdString(message.text) + "\n");
        out.close();
        QFile::rename(asked + ".part", asked);
    }
    // The box is modal: the program's events go on while it waits.
    const QString answerPath = m_folder + QString("/%1.answer").arg(n);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (QFile::exists(answerPath))
            loop.quit();
    });
    poll.start(20);
    loop.exec();
    QFile in(answerPath);
    bool ok = false;
    int answer = in.open(QIODevice::ReadOnly) ? in.readAll().trimmed().toInt(&ok) : 0;
    return ok ? answer : DefaultAnswer(message.type);
}

void CPromptScript::SetUpPrinter(QPrinter& printer)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(m_folder + QString("/print-%1.pdf").arg(++m_printed));
}
