// Macro exchange files: one macro with its settings and events.
#include "store/MacroExchange.h"

#include <vector>

#include "markup/MarkupDocument.h"
#include "store/ProfileDatabase.h"
#include "store/SQLiteAutoTransaction.h"

ExchangeStatus ExportMacro(ProfileDatabase& db, int macroId, const std::string& path)
{
    if (macroId <= 0)
        return ExchangeStatus::NothingSelected;
    MacroRecord macro;
    db.LoadMacro(macroId, macro);
    std::vector<MacroEventRecord> events;
    db.LoadMacroEvents(macroId, events);

    MarkupDocument doc;
    StartExchangeDocument(doc);
    doc.AddElement("macro");
    doc.IntoElement();
    doc.AddElement("macroinfo");
    doc.SetAttribute("name", macro.m_name);
    doc.SetAttribute("times", std::to_string(macro.m_playTimes));
    doc.SetAttribute("type", std::to_string(macro.m_delayType));
    doc.SetAttribute("delaytime", std::to_string(macro.m_delayTime));
    // In a macro file the events follow "macroinfo" instead of sitting inside it.
    doc.AddElement("macroitems");
    doc.IntoElement();
    AddEventItems(doc, events);
    return SaveExchangeDocument(doc, path);
}

MacroImportResult ImportMacro(ProfileDatabase& db, const std::string& path)
{
    MacroImportResult result;
    result.m_status = CheckImportFile(path);
    if (result.m_status != ExchangeStatus::Done)
        return result;
    MarkupDocument doc;
    if (!doc.LoadFile(path) || !doc.FindElement("macro") || !doc.IntoElement()) {
        result.m_status = ExchangeStatus::NotAnExchangeFile;
        return result;
    }
    MacroRecord macro;
    macro.m_name = NameFromFileName(path);
    if (doc.FindElement("macroinfo")) {
        macro.m_playTimes = AttributeInt(doc, "times");
        macro.m_delayType = AttributeInt(doc, "type");
        macro.m_delayTime = AttributeInt(doc, "delaytime");
    }
    std::vector<MacroEventRecord> events;
    if (doc.FindElement("macroitems")) {
        if (CountChildren(doc, "item") > kMaxImportEvents) {
            result.m_status = ExchangeStatus::TooLarge;
            return result;
        }
        doc.IntoElement();
        events = ReadEventItems(doc, 0);
    }

    SQLiteAutoTransaction transaction(&db);
    macro.m_macroId = db.InsertMacro(macro);
    bool ok = macro.m_macroId > 0;
    for (size_t i = 0; ok && i < events.size(); ++i) {
        events[i].m_macroId = macro.m_macroId;
        ok = db.InsertMacroEvent(events[i]) > 0;
    }
    if (!ok || !transaction.End()) {
        transaction.Rollback();
        result.m_status = ExchangeStatus::DatabaseFailed;
        return result;
    }
    result.m_macroId = macro.m_macroId;
    result.m_name = macro.m_name;
    return result;
}
