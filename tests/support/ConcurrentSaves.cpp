#include "support/ConcurrentSaves.h"

#include "app/uDatabase.h"
#include "app/uSpread.h"
#include "measure/uKelmo4Head.h"
#include "measure/uKelmo4Line.h"
#include "registers/uKikakuti4.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "registers/ukouku.h"
#include "roadplan/uFormationHeight.h"
#include "sheets/fEditDekigataTorimatome.h"
#include "sheets/uDekigataTorimatome.h"
#include "startup/uParadoxImport.h"

#include <QLineEdit>

using namespace Qt::Literals::StringLiterals;

namespace {
const QString kWorkType = u"路盤工"_s;

// A record of K1 by its item; the value goes into 分布 and into its line's remark, which
// the main window's "登録" writes together.
class TRecordSaver final : public TConcurrentSaver
{
public:
    void Load(const QString &key) override
    {
        m_head = std::make_unique<TKelmo4Head>();
        m_head->Koji->LoadByCode(u"K1"_s);
        m_head->Kosyu->LoadByName(kWorkType);
        m_head->Kouku->Koukumei = u"#"_s;
        m_head->SokuteiKoumoku = key;
        // The limits shown for a key without a record are the register's (as the window does).
        m_head->Kikakuti->Kosyu->LoadByName(kWorkType);
        m_head->Kikakuti->Koumokumei = key;
        m_head->Kikakuti->LoadByKey();
        if (m_head->FindByKey())
            m_lines = TKelmo4Line().LoadLines(m_head->ID);
    }
    void Change(const QString &value) override
    {
        m_head->Bunpu = value;
        TKel4LineRow line;
        line.LNO = 1;
        line.Cells[0] = u"No.1"_s;
        line.Cells[11] = value;
        m_lines = {line};
    }
    void Save() override
    {
        TVersionsUntilCommit versions({&m_head->Version, &m_head->Kikakuti->Version});
        TTransaction transaction;
        m_head->Save();
        TKelmo4Line().ReplaceLines(m_head->ID, m_lines);
        transaction.Commit();
        versions.Committed();
    }
    void Delete() override { m_head->Delete(); }
    QString Stored(const QString &key) override
    {
        TKelmo4Head head;
        head.Koji->LoadByCode(u"K1"_s);
        head.Kosyu->LoadByName(kWorkType);
        head.Kouku->Koukumei = u"#"_s;
        head.SokuteiKoumoku = key;
        if (!head.FindByKey())
            return QString();
        const QList<TKel4LineRow> lines = TKelmo4Line().LoadLines(head.ID);
        return head.Bunpu + u'|' + (lines.isEmpty() ? QString() : lines.first().Cells[11]);
    }

private:
    std::unique_ptr<TKelmo4Head> m_head;
    QList<TKel4LineRow> m_lines;
};

class TKojiSaver final : public TConcurrentSaver
{
public:
    void Load(const QString &key) override { m_koji.LoadByCode(key); }
    void Change(const QString &value) override { m_koji.Kojimei = value; }
    void Save() override { m_koji.Save(); }
    void Delete() override { m_koji.Delete(); }
    QString Stored(const QString &key) override
    {
        TKoji koji;
        koji.LoadByCode(key);
        return koji.Kojimei;
    }

private:
    TKoji m_koji;
};

// A standard value of class 0 and the work type by its item.
class TStandardSaver final : public TConcurrentSaver
{
public:
    void Load(const QString &key) override { Read(m_standard, key); }
    void Change(const QString &value) override { m_standard.Joken = value; }
    void Save() override { m_standard.Save(); }
    void Delete() override { m_standard.Delete(); }
    QString Stored(const QString &key) override
    {
        TKikakuti4 standard;
        Read(standard, key);
        return standard.Joken;
    }

private:
    static void Read(TKikakuti4 &standard, const QString &key)
    {
        standard.Kubun = 0;
        standard.Kosyu->LoadByName(kWorkType);
        standard.Koumokumei = key;
        standard.Joken.clear();
        standard.LoadByKey();
    }
    TKikakuti4 m_standard;
};

// The summary window of a project; the value goes into the remark of the grid's row 1.
class TSummarySaver final : public TConcurrentSaver
{
public:
    void Load(const QString &key) override
    {
        m_window.Edit1->setText(key + u":工事"_s);
        m_window.Record()->Koji->LoadByCode(key);
        m_window.LoadGrid();
    }
    void Change(const QString &value) override { m_window.vaSpread1->SetCellText(11, 1, value); }
    void Save() override { m_window.SaveGrid(); }
    void Delete() override
    {
        TTransaction transaction;
        m_window.Record()->DeleteRows();
        transaction.Commit();
    }
    QString Stored(const QString &key) override
    {
        TQuery q(u"select * from DekigataTorimatome4 where KojiCode=:KOJICODE and LNO=1"_s);
        q.SetParam(u"KOJICODE"_s, key);
        q.Open();
        return q.FieldText(u"BIKO"_s);
    }

private:
    TfrmEditDekigataTorimatome m_window;
};

// A project's road plan; the value is the station of row 1.
class TPlanSaver final : public TConcurrentSaver
{
public:
    void Load(const QString &key) override
    {
        m_code = key;
        m_cells = TPlanCells();
        FormationPlan::LoadPlan(key, m_cells, &m_plan.Version);
    }
    void Change(const QString &value) override { m_cells.SetCell(PlanLayout::StationColumn, 1, value); }
    void Save() override { FormationPlan::SavePlan(m_code, m_cells, &m_plan.Version); }
    void Delete() override { FormationPlan::DeletePlan(m_code, &m_plan.Version); }
    QString Stored(const QString &key) override
    {
        TPlanCells cells;
        FormationPlan::LoadPlan(key, cells);
        return cells.Cell(PlanLayout::StationColumn, 1);
    }

private:
    TFormationHeight m_plan;
    QString m_code;
    TPlanCells m_cells;
};

// A project's work sections as the section window shows them; the value is the first.
class TSectionsSaver final : public TConcurrentSaver
{
public:
    void Load(const QString &key) override
    {
        m_sections.Koji->LoadByCode(key);
        m_sections.GetList(m_names);
    }
    void Change(const QString &value) override { m_names.first() = value; }
    void Save() override { m_sections.RewriteList(m_names); }
    void Delete() override { m_sections.DeleteForProject(); }
    QString Stored(const QString &key) override
    {
        TKouku sections;
        sections.Koji->LoadByCode(key);
        QStringList names;
        sections.GetList(names);
        return names.value(0);
    }

private:
    TKouku m_sections;
    QStringList m_names;
};
} // namespace

std::unique_ptr<TConcurrentSaver> TConcurrentSaver::Make(const QString &kind)
{
    if (kind == u"record"_s)
        return std::make_unique<TRecordSaver>();
    if (kind == u"koji"_s)
        return std::make_unique<TKojiSaver>();
    if (kind == u"kikakuti"_s)
        return std::make_unique<TStandardSaver>();
    if (kind == u"summary"_s)
        return std::make_unique<TSummarySaver>();
    if (kind == u"roadplan"_s)
        return std::make_unique<TPlanSaver>();
    if (kind == u"kouku"_s)
        return std::make_unique<TSectionsSaver>();
    return nullptr;
}

void StoreConcurrentStartData()
{
    for (const TTableDef *def : ImportTableDefs())
        CreateTableIfMissing(*def);
    TKosyu().RewriteList({kWorkType});
    for (const QString &code : {u"K1"_s, u"K2"_s}) {
        TKoji koji;
        koji.Code = code;
        koji.Kojimei = u"start"_s;
        koji.Save();
        TKouku sections;
        sections.Koji->Code = code;
        sections.RewriteList({u"start"_s, u"2工区"_s});
        TDekigataTorimatome summary;
        summary.Koji->Code = code;
        summary.ReplaceRows([&summary] {
            summary.LNo = 1;
            summary.Kosyumei = kWorkType;
            summary.Biko = u"start"_s;
            summary.Save();
        });
        TPlanCells plan;
        plan.SetCell(PlanLayout::StationColumn, 1, u"start"_s);
        FormationPlan::SavePlan(code, plan);
    }
    for (const QString &item : {u"A"_s, u"B"_s}) {
        TKikakuti4 standard;
        standard.Kosyu->LoadByName(kWorkType);
        standard.Koumokumei = item;
        standard.Joken = u"start"_s;
        standard.Save();
        TRecordSaver record;
        record.Load(item);
        record.Change(u"start"_s);
        record.Save();
    }
}
