// What profile and macro exchange files have in common: results, limits, names and the event items.
#include "store/ExchangeFile.h"

#include <sys/stat.h>

#include "markup/MarkupDocument.h"
#include "platform/AtomicFile.h"
#include "platform/NumberText.h"

std::string NameFromFileName(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = file.find('.');
    if (dot == std::string::npos || dot == 0)
        return file;
    return file.substr(0, dot);
}

ExchangeStatus CheckImportFile(const std::string& path)
{
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return ExchangeStatus::FileMissing;
    return info.st_size > kMaxExchangeFileBytes ? ExchangeStatus::TooLarge : ExchangeStatus::Done;
}

void StartExchangeDocument(MarkupDocument& doc)
{
    // Only a declaration: not yet well formed, which SetDocument reports; the first AddElement adds the root.
    (void)doc.SetDocument("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
}

ExchangeStatus SaveExchangeDocument(const MarkupDocument& doc, const std::string& path)
{
    return WriteFileAtomically(path, doc.GetDocument(), 0644) ? ExchangeStatus::Done : ExchangeStatus::WriteFailed;
}

void AddEventItems(MarkupDocument& doc, const std::vector<MacroEventRecord>& events)
{
    for (const MacroEventRecord& event : events) {
        doc.AddElement("item");
        doc.SetAttribute("desc", event.m_description);
        doc.SetAttribute("type", std::to_string(event.m_type));
        doc.SetAttribute("value", std::to_string(event.m_value));
        doc.SetAttribute("delay_time", std::to_string(event.m_delayTime));
    }
}

std::vector<MacroEventRecord> ReadEventItems(MarkupDocument& doc, int macroId)
{
    std::vector<MacroEventRecord> events;
    while (doc.FindElement("item")) {
        MacroEventRecord event;
        event.m_macroId = macroId;
        event.m_recordIndex = static_cast<int>(events.size());
        event.m_description = doc.GetAttribute("desc");
        event.m_type = AttributeInt(doc, "type");
        event.m_value = AttributeInt(doc, "value");
        event.m_delayTime = AttributeInt(doc, "delay_time");
        events.push_back(std::move(event));
    }
    return events;
}

int CountChildren(MarkupDocument& doc, const std::string& name)
{
    if (!doc.IntoElement())
        return 0;
    int count = 0;
    while (doc.FindElement(name))
        ++count;
    doc.OutOfElement();
    return count;
}

int AttributeInt(const MarkupDocument& doc, const char* name)
{
    return ParseDecimalInt(doc.GetAttribute(name));
}
