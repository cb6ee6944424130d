#include "colouring/colourcode.h"
#include "common/simplify.h"
#include "common/textappender.h"
#include "docgen/blockstate.h"
#include "docgen/diagnostics.h"
#include "docgen/docgen.h"
#include "docgen/headerpipeline.h"
#include "docgen/htmltext.h"
#include "docgen/interpreter.h"
#include "docgen/programtables.h"
#include "docgen/propertyregistry.h"
#include "docgen/referencesections.h"
#include "sourcebrowser/sourcebrowsercontainer.h"
#include "sourcebrowser/sourcebrowsermacro.h"
#include "sourcebrowser/sourcebrowsermethod.h"

// The commands of API reference entries: the brief description and group that the
// summary table shows, parameters and return values, the standard section headings,
// synopses, and the environment's properties.

namespace {

PropertyRegistry *installedRegistry = nullptr;

void brief(MarkupInterpreter &in) {
    in.brief = simplified(in.readLine());
    in.doc.blockState = BlockNone;
}

void ingroup(MarkupInterpreter &in) {
    in.group = simplified(in.readLine());
    programTables().groupList.append(in.group);
    in.doc.blockState = BlockNone;
}

void grouporder(MarkupInterpreter &in) {
    const QStringList groups = in.readLine().split(u',');
    for (const QString &group : groups)
        programTables().groupOrder.append(group.simplified());
    in.doc.blockState = BlockNone;
}

void openParagraph(MarkupInterpreter &in) {
    in.closeBlocks();
    switchBlock(in.doc, BlockParagraph);
}

// The names a "param" may document: a function's named parameters ("..." for a variable
// argument list) or a function-like macro's. False for other entities, whose "param"
// commands are not checked.
bool parameterNames(const SourceBrowserObject &entity, QStringList &names) {
    if (entity.kind == KindMethod) {
        for (const SourceBrowserArgument &argument :
             static_cast<const SourceBrowserMethod &>(entity).arguments) {
            if (!argument.name.isEmpty())
                names.append(argument.name);
            else if (argument.type == QLatin1String("..."))
                names.append(argument.type);
        }
        return true;
    }
    if (entity.kind != KindMacro)
        return false;
    // "#define NAME(a, b) ...": parameters only when "(" follows the name at once.
    const QString &text = static_cast<const SourceBrowserMacro &>(entity).text;
    const qsizetype open = text.indexOf(entity.name, 7) + entity.name.size(); // after "#define"
    if (entity.name.isEmpty() || open >= text.size() || text.at(open) != u'(')
        return true;
    const qsizetype close = text.indexOf(u')', open);
    const QStringList parts = text.mid(open + 1, close < 0 ? -1 : close - open - 1).split(u',');
    for (const QString &part : parts) {
        const QString name = part.trimmed();
        if (!name.isEmpty())
            names.append(name);
    }
    return true;
}

void checkParam(MarkupInterpreter &in, const QString &name) {
    in.documentedParameters.insert(name);
    if (!in.entity)
        return;
    if (!in.parametersRead) {
        in.parametersChecked = parameterNames(*in.entity, in.parameterNames);
        in.parametersRead = true;
    }
    if (in.parametersChecked && !in.parameterNames.contains(name))
        in.warn(in.commandStart,
                QStringLiteral("'\\param' names '%1', which is not a parameter of '%2'")
                    .arg(name, in.entity->name),
                "unknown-param");
}

// Once some parameters have a "param", the others are reported as missing.
void checkParamsDocumented(const MarkupInterpreter &in) {
    if (in.documentedParameters.isEmpty() || !in.parametersChecked)
        return;
    for (const QString &name : in.parameterNames) {
        if (!in.documentedParameters.contains(name))
            diagnostics().warn(in.doc.inputPath, in.entity->declarationLine + 1,
                               QStringLiteral("parameter '%1' of '%2' has no '\\param' while "
                                              "others have one")
                                   .arg(name, in.entity->name),
                               "missing-param");
    }
}

void param(MarkupInterpreter &in) {
    const QString name = in.readWord();
    if (in.warnings)
        checkParam(in, name);
    openParagraph(in);
    TextAppender body(in.doc.pageBody);
    body += QLatin1String("<b>");
    appendEscapedXml(body, name);
    body += QLatin1String("</b> &mdash;");
    in.doc.addWords(WordsPart::Prose, QString(name + QStringLiteral(" \u2014")));
}

void returnCommand(MarkupInterpreter &in) {
    openParagraph(in);
    const QString name = in.entity ? in.entity->name : QString();
    QString &body = in.doc.pageBody;
    body += QLatin1String("<b>");
    body += name;
    body += QLatin1String("</b> returns &mdash;");
    in.doc.addWords(WordsPart::Prose, QString(name + QStringLiteral(" returns \u2014")));
}

void synopsis(MarkupInterpreter &in) {
    in.closeBlocks();
    if (in.doc.mode == ModePages) {
        TextAppender(in.doc.pageBody) += QLatin1String("<h5>Synopsis</h5>");
        in.doc.addWords(WordsPart::Heading, u"Synopsis");
        in.doc.endWordsBlock();
    }
    if (in.entity) {
        static const QString c = QStringLiteral("c");
        TextAppender(in.doc.pageBody) += QLatin1String("<pre>");
        const QString text = declarationText(*in.entity);
        appendColouredCode(in.doc.pageBody, text, c, in.doc.codeLinks(in.entity->name));
        in.doc.addWords(WordsPart::Code, text);
        TextAppender(in.doc.pageBody) += QLatin1String("</pre>");
        in.doc.endWordsBlock();
    }
    in.doc.blockState = BlockNone;
}

// The standard section headings: some are written in every mode, the others only on
// complete pages.
void sectionHeading(MarkupInterpreter &in, QLatin1String title, bool always) {
    in.closeBlocks();
    if (always || in.doc.mode == ModePages) {
        in.doc.pageBody += QLatin1String("<h5>");
        in.doc.pageBody += title;
        in.doc.pageBody += QLatin1String("</h5>");
        in.doc.addWords(WordsPart::Heading, QString(title));
        in.doc.endWordsBlock();
    }
}

void task(MarkupInterpreter &in) {
    const QString text = in.readLine();
    in.closeBlocks();
    in.doc.pageBody += QLatin1String("<h5>") + text + QLatin1String("</h5>");
    in.doc.addWords(WordsPart::Heading, text, true);
    in.doc.endWordsBlock();
}

void side(MarkupInterpreter &in) {
    const QString text = in.readLine();
    in.closeBlocks();
    in.doc.pageBody += QLatin1String("<h6>") + text + QLatin1String("</h6>");
    in.doc.addWords(WordsPart::Heading, text, true);
    in.doc.endWordsBlock();
}

void remark(MarkupInterpreter &in) {
    in.readLine();
}

const SourceBrowserObject *findShown(const SourceBrowserContainer &root, const QString &name) {
    if (const SourceBrowserObject *found = root.findClass(name))
        return found;
    if (const SourceBrowserObject *found = root.findMacro(name))
        return found;
    if (const SourceBrowserObject *found = root.findVariable(name))
        return found;
    if (const SourceBrowserObject *found = root.findType(name))
        return found;
    const QList<SourceBrowserMethod *> methods = root.findMethods(name);
    return methods.size() == 1 ? methods.first() : nullptr;
}

void show(MarkupInterpreter &in) {
    const QString name = in.readWord();
    if (!in.doc.sourceRoot)
        return;
    if (const SourceBrowserObject *found = findShown(*in.doc.sourceRoot, name)) {
        const QString synopsis = found->synopsis(SynopsisReferencePage);
        in.doc.pageBody += QLatin1String("<pre>") + escapeXml(synopsis) + QLatin1String(";</pre>");
        in.doc.endWordsBlock();
        in.doc.addWords(WordsPart::Code, QString(synopsis + u';'));
        in.doc.endWordsBlock();
    }
}

// A property or page name that the registry does not know, or no registry at all.
void warnUnknownProperty(MarkupInterpreter &in, const char *what, const QString &name,
                         const char *instead) {
    in.warn(in.commandStart,
            QStringLiteral("unknown %1 '%2'%3; %4")
                .arg(QLatin1String(what), name,
                     installedRegistry ? QString()
                                       : QStringLiteral(" (no property registry is loaded)"),
                     QLatin1String(instead)),
            "unknown-property");
}

void property(MarkupInterpreter &in) {
    const QString name = in.readWord();
    PropertyInfo info;
    if (installedRegistry && installedRegistry->findProperty(name, &info)) {
        in.doc.pageBody += QLatin1String("<b>") + escapeXml(info.title) + QLatin1String("</b>");
        in.doc.addWords(WordsPart::Prose, info.title);
    } else {
        if (in.warnings)
            warnUnknownProperty(in, "property", name, "it is shown in red as unknown");
        in.doc.pageBody += QLatin1String("<font color=\"red\">Unknown property ") +
                           escapeXml(name) + QLatin1String("</font>");
        in.doc.addWords(WordsPart::Prose, QString(QLatin1String("Unknown property ") + name));
    }
}

void envpage(MarkupInterpreter &in) {
    const QString page = in.readWord();
    if (in.warnings && !(installedRegistry && installedRegistry->hasPage(page)))
        warnUnknownProperty(in, "property page", page, "the table stays empty");
    QString &body = in.doc.pageBody;
    const qsizetype tableStart = body.size();
    body += QLatin1String("<table bgcolor=\"#f0f0f0\" width=\"100%\" cellpadding=\"2\" "
                          "cellspacing=\"0\" border=\"0\" cols=\"200pt 200pt\">\n"
                          "<tr><td valign=\"center\" bgcolor=\"#cccccc\"><b>Property</b></td> "
                          "<td valign=\"center\" bgcolor=\"#cccccc\"><b>Description</b></td>"
                          "</tr>\n");
    if (installedRegistry) {
        const QList<PropertyInfo> properties = installedRegistry->pageProperties(page);
        for (const PropertyInfo &p : properties)
            body += QLatin1String("<tr><td>") + p.title + QLatin1String("<small><tt>") + p.name +
                    QLatin1String("</tt>&nbsp;&ndash;&nbsp;") + QString::number(p.typeCode) +
                    QLatin1String("</small></td><td>") + p.description +
                    QLatin1String("</td></tr>\n");
    }
    body += QLatin1String("</table>");
    in.doc.endWordsBlock();
    in.doc.addWords(WordsPart::Prose, QStringView(body).mid(tableStart), true);
    in.doc.endWordsBlock();
}

} // namespace

PropertyRegistry *propertyRegistry() {
    return installedRegistry;
}

void setPropertyRegistry(PropertyRegistry *registry) {
    installedRegistry = registry;
}

void beginEntityComment(MarkupInterpreter &in) {
    in.group = in.entity ? in.entity->group : QString();
    if (!in.group.isEmpty())
        programTables().groupList.append(in.group);
}

void registerEntity(MarkupInterpreter &in) {
    ProgramTables &tables = programTables();
    if (in.group.isEmpty()) {
        in.group = QLatin1String(unassignedGroup);
        tables.groupList.append(in.group);
    }
    // The key of an entity's entry is its name.
    tables.entries.insert(EntryRecord{in.entity->name, in.group, in.brief, in.entity->kind});
    if (in.doc.wordsWanted)
        in.doc.pageWords.brief = in.brief;
    if (in.doc.modernPages) {
        in.doc.entityBrief = in.brief;
        in.doc.entityGroup = in.group;
    }
    if (in.warnings)
        checkParamsDocumented(in);
}

void addReferenceCommands(CommandTable &t) {
    t.add("brief", brief);
    t.add("ingroup", ingroup);
    t.add("grouporder", grouporder);
    t.add("param", param);
    t.add("return", returnCommand);
    t.add("synopsis", synopsis);
    const auto description = [](MarkupInterpreter &in) {
        sectionHeading(in, QLatin1String("Description"), false);
    };
    const auto seeAlso = [](MarkupInterpreter &in) {
        sectionHeading(in, QLatin1String("See Also"), true);
    };
    const auto returnValue = [](MarkupInterpreter &in) {
        sectionHeading(in, QLatin1String("Return Value"), true);
    };
    const auto standards = [](MarkupInterpreter &in) {
        sectionHeading(in, QLatin1String("Standards"), false);
    };
    const auto portability = [](MarkupInterpreter &in) {
        sectionHeading(in, QLatin1String("Portability"), false);
    };
    t.add("description", description);
    t.add("desc", description);
    t.add("ts",
          [](MarkupInterpreter &in) { sectionHeading(in, QLatin1String("Thread Safety"), false); });
    t.add("note", [](MarkupInterpreter &in) { sectionHeading(in, QLatin1String("Note"), false); });
    t.add("errors",
          [](MarkupInterpreter &in) { sectionHeading(in, QLatin1String("Errors"), true); });
    t.add("sa", seeAlso);
    t.add("seealso", seeAlso);
    t.add("rv", returnValue);
    t.add("returns", returnValue);
    t.add("stds", standards);
    t.add("standards", standards);
    t.add("port", portability);
    t.add("portability", portability);
    t.add("task", task);
    t.add("side", side);
    t.add("rem", remark);
    t.add("fixme", remark);
    t.add("review", remark);
    t.add("show", show);
    t.add("property", property);
    t.add("envpage", envpage);
}
