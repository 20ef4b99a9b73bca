// Profile exchange files: a profile's fn-layer-0 key assignments with the macros they play.
#include "store/ProfileExchange.h"

#include <map>

#include "markup/MarkupDocument.h"
#include "store/ProfileDatabase.h"
#include "store/SQLiteAutoTransaction.h"

namespace {

constexpr int kMacroFunction = 3;

void AddKeyItem(MarkupDocument& doc, const KeyAssignmentRecord& key)
{
    doc.AddElement("item");
    doc.SetAttribute("fn_layer", std::to_string(key.m_fnLayer));
    doc.SetAttribute("key_code", std::to_string(key.m_keyCode));
    doc.SetAttribute("layout_value", std::to_string(key.m_layoutValue));
    doc.SetAttribute("layout_desc", key.m_layoutDesc);
    doc.SetAttribute("macro_type", std::to_string(key.m_macroType));
    doc.SetAttribute("macro_value", std::to_string(key.m_macroValue));
    doc.SetAttribute("macro_value2", std::to_string(key.m_macroValue2));
    doc.SetAttribute("macro_value3", std::to_string(key.m_macroValue3));
    doc.SetAttribute("macro_desc", key.m_macroDesc);
}

void AddMacroInfo(MarkupDocument& doc, ProfileDatabase& db, int macroId)
{
    MacroRecord macro;
    std::vector<MacroEventRecord> events;
    if (db.LoadMacro(macroId, macro))
        db.LoadMacroEvents(macroId, events);
    doc.AddElement("macroinfo");
    doc.SetAttribute("name", macro.m_name);
    doc.SetAttribute("macro_id", std::to_string(macro.m_macroId));
    doc.SetAttribute("times", std::to_string(macro.m_playTimes));
    doc.SetAttribute("type", std::to_string(macro.m_delayType));
    doc.SetAttribute("delaytime", std::to_string(macro.m_delayTime));
    doc.IntoElement();
    doc.AddElement("macroitems");
    doc.IntoElement();
    AddEventItems(doc, events);
    doc.OutOfElement();
    doc.OutOfElement();
}

// Enters the root "profile"; false when the document has none.
bool EnterProfile(MarkupDocument& doc)
{
    doc.ResetPosition();
    return doc.FindElement("profile") && doc.IntoElement();
}

// Refuses files that would make the import unbounded; the cursor ends at the root's children.
bool WithinLimits(MarkupDocument& doc)
{
    int macros = 0;
    int events = 0;
    while (doc.FindElement("macroinfo")) {
        if (++macros > kMaxImportMacros)
            return false;
        doc.IntoElement();
        if (doc.FindElement("macroitems"))
            events += CountChildren(doc, "item");
        doc.OutOfElement();
        if (events > kMaxImportEvents)
            return false;
    }
    EnterProfile(doc);
    int keys = doc.FindElement("keyitems") ? CountChildren(doc, "item") : 0;
    return keys <= kMaxImportKeyItems;
}

// First pass: creates the file's macros that the database lacks; remembers file id -> new id.
bool ImportMacros(MarkupDocument& doc, ProfileDatabase& db, std::map<int, int>& remap, ProfileImportResult& result)
{
    std::vector<MacroRecord> existing;
    db.LoadMacros(existing);
    EnterProfile(doc);
    while (doc.FindElement("macroinfo")) {
        MacroRecord macro;
        macro.m_name = doc.GetAttribute("name");
        int fileId = AttributeInt(doc, "macro_id");
        bool known = false;
        for (const MacroRecord& have : existing)
            known = known || (have.m_macroId == fileId && have.m_name == macro.m_name);
        if (known)
            continue;
        macro.m_playTimes = AttributeInt(doc, "times");
        macro.m_delayType = AttributeInt(doc, "type");
        macro.m_delayTime = AttributeInt(doc, "delaytime");
        macro.m_macroId = db.InsertMacro(macro);
        if (macro.m_macroId <= 0)
            return false;
        remap[fileId] = macro.m_macroId;
        result.m_createdMacros.push_back(macro);
        doc.IntoElement();
        if (doc.FindElement("macroitems") && doc.IntoElement()) {
            for (const MacroEventRecord& event : ReadEventItems(doc, macro.m_macroId)) {
                if (db.InsertMacroEvent(event) <= 0)
                    return false;
            }
            doc.OutOfElement();
        }
        doc.OutOfElement();
    }
    return true;
}

// Second pass: the profile and its key assignments, macro keys pointed at the macros just created.
bool ImportKeys(MarkupDocument& doc, ProfileDatabase& db, const std::map<int, int>& remap, int profileId)
{
    EnterProfile(doc);
    doc.FindElement("profileinfo");
    if (!doc.FindElement("keyitems") || !doc.IntoElement())
        return true;
    while (doc.FindElement("item")) {
        KeyAssignmentRecord key;
        key.m_profile = profileId;
        key.m_fnLayer = AttributeInt(doc, "fn_layer");
        key.m_keyCode = AttributeInt(doc, "key_code");
        key.m_layoutValue = AttributeInt(doc, "layout_value");
        key.m_layoutDesc = doc.GetAttribute("layout_desc");
        key.m_macroType = AttributeInt(doc, "macro_type");
        key.m_macroValue = AttributeInt(doc, "macro_value");
        key.m_macroValue2 = AttributeInt(doc, "macro_value2");
        key.m_macroValue3 = AttributeInt(doc, "macro_value3");
        key.m_macroDesc = doc.GetAttribute("macro_desc");
        if (key.m_macroType == kMacroFunction) {
            auto it = remap.find(key.m_macroValue);
            if (it != remap.end())
                key.m_macroValue = it->second;
        }
        bool keepsRow = key.m_keyCode != 0 && (key.m_macroValue != 0 || key.m_macroValue2 != 0);
        if (db.SaveKeyAssignment(key) == 0 && keepsRow)
            return false;
    }
    return true;
}

} // namespace

ExchangeStatus ExportProfile(ProfileDatabase& db, int profileId, const std::string& shownName, const std::string& path)
{
    if (profileId <= 0)
        return ExchangeStatus::NothingSelected;
    MarkupDocument doc;
    StartExchangeDocument(doc);
    doc.AddElement("profile");
    doc.IntoElement();
    doc.AddElement("profileinfo");
    doc.SetAttribute("name", shownName);
    doc.AddElement("keyitems");
    doc.IntoElement();
    std::vector<KeyAssignmentRecord> keys;
    db.LoadKeyAssignments(profileId, 0, keys);
    std::vector<int> macroIds;
    for (const KeyAssignmentRecord& key : keys) {
        AddKeyItem(doc, key);
        if (key.m_macroType == kMacroFunction)
            macroIds.push_back(key.m_macroValue);
    }
    doc.OutOfElement();
    for (int macroId : macroIds)
        AddMacroInfo(doc, db, macroId);
    return SaveExchangeDocument(doc, path);
}

ProfileImportResult ImportProfile(ProfileDatabase& db, const std::string& path)
{
    ProfileImportResult result;
    result.m_status = CheckImportFile(path);
    if (result.m_status != ExchangeStatus::Done)
        return result;
    MarkupDocument doc;
    if (!doc.LoadFile(path) || !EnterProfile(doc)) {
        result.m_status = ExchangeStatus::NotAnExchangeFile;
        return result;
    }
    if (!WithinLimits(doc)) {
        result.m_status = ExchangeStatus::TooLarge;
        return result;
    }
    SQLiteAutoTransaction transaction(&db);
    std::map<int, int> remap;
    ProfileRecord profile;
    profile.m_name = NameFromFileName(path);
    bool ok = ImportMacros(doc, db, remap, result);
    if (ok)
        profile.m_profileId = db.InsertProfile(profile);
    ok = ok && profile.m_profileId > 0 && ImportKeys(doc, db, remap, profile.m_profileId)
        && db.SelectProfile(profile.m_profileId);
    if (!ok || !transaction.End()) {
        transaction.Rollback();
        return ProfileImportResult{ExchangeStatus::DatabaseFailed, 0, {}, {}};
    }
    result.m_profileId = profile.m_profileId;
    result.m_profileName = profile.m_name;
    return result;
}
