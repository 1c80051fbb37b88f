#include "Commands.h"
#include "JsonText.h"
#include "ToolArchive.h"

#include "w3d/GameTextureArchives.h"
#include "w3d/SettingsAndWineInstallPathProvider.h"
#include "w3d/W3DModelCollector.h"
#include "w3d/W3DPreviewModel.h"
#include "w3d/W3DTextureFinder.h"

#include <algorithm>

namespace kestrel::cli {
namespace {

const OptionSpec W3dOptions[] = {
    {"json", 0, false},
    {"game-folder", 0, true},
};

/// The game's texture archives, opened as the editor's document opens them.
struct GameArchives
{
    explicit GameArchives(ToolContext& context) : prompt(context), game(prompt), base(prompt)
    {
        prompt.SetReadingOnly(true);
    }
    CliPrompt prompt;
    CBIGFile game;
    CBIGFile base;
    GameTextureArchivePlan plan;
};

struct TextureReport
{
    std::string name;
    W3DTextureFinder::Location location;
};

struct ModelReport
{
    std::string entry;
    W3DModelSummary summary;
    W3DModelCollector model;
    std::vector<TextureReport> textures;
    std::vector<std::string> archiveNames; // the finder's archive list, as shown
    std::string installFolder;
    GameKind game = GameKind::Generals;
};

std::string Number(float value, bool json = false)
{
    return json ? JsonNumber(value) : FormattedNumber(value);
}

std::string Triple(const std::array<float, 3>& v, bool json)
{
    // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) about chained "+" here.
    std::string text = json ? "[" : "(";
    text += Number(v[0], json);
    text += ", ";
    text += Number(v[1], json);
    text += ", ";
    text += Number(v[2], json);
    text += json ? "]" : ")";
    return text;
}

/// Bounds of the whole model: the union of its groups' bounds over finite vertices.
std::optional<MeshBounds> ModelBounds(const W3DModelCollector& model)
{
    std::optional<MeshBounds> all;
    for (const auto& group : model.Groups()) {
        const std::optional<MeshBounds> bounds = ComputeFiniteBounds(group.vertices);
        if (!bounds)
            continue;
        if (!all)
            all = bounds;
        for (size_t axis = 0; axis < 3; ++axis) {
            all->min[axis] = std::min(all->min[axis], bounds->min[axis]);
            all->max[axis] = std::max(all->max[axis], bounds->max[axis]);
        }
    }
    return all;
}

std::string HierarchySourceText(const W3DModelSummary& summary)
{
    switch (summary.hierarchySource) {
    case W3DModelSummary::HierarchySource::Own: return "own";
    case W3DModelSummary::HierarchySource::ArchiveEntry: return "archive";
    case W3DModelSummary::HierarchySource::None: break;
    }
    return "none";
}

std::string FoundText(const TextureReport& texture, const ModelReport& report)
{
    const auto& where = texture.location;
    switch (where.source) {
    case W3DTextureFinder::Location::Source::Disk: return "disk " + where.file.string();
    case W3DTextureFinder::Location::Source::Archive:
        return "archive " + report.archiveNames[where.archive] + ": " + where.entryName;
    case W3DTextureFinder::Location::Source::NotFound: break;
    }
    return "not found";
}

std::string TextReport(ModelReport& report)
{
    const W3DModelSummary& s = report.summary;
    std::string out = "model:      " + report.entry + "\n";
    out += "game:       " + std::string(GameBlockName(report.game))
        + (report.installFolder.empty() ? ", installation not found" : ", installed in " + report.installFolder) + "\n";
    out += "hierarchy:  ";
    if (s.hierarchySource == W3DModelSummary::HierarchySource::Own)
        out += s.hierarchyName + " (the model's own, " + std::to_string(s.pivotCount) + " pivots)\n";
    else if (s.hierarchySource == W3DModelSummary::HierarchySource::ArchiveEntry)
        out += s.hierarchyName + " from " + s.hierarchyEntry + " (" + std::to_string(s.pivotCount) + " pivots)\n";
    else if (!s.hierarchyEntry.empty())
        out += s.hierarchyName + " (" + s.hierarchyEntry + " is not in the archive)\n";
    else
        out += "none\n";
    out += "meshes:     " + std::to_string(s.meshCount);
    out += s.skippedMeshCount ? " (" + std::to_string(s.skippedMeshCount) + " skipped: parts missing or inconsistent)\n" : "\n";
    for (size_t g = 0; g < report.model.Groups().size(); ++g) {
        const auto& group = report.model.Groups()[g];
        out += "  " + group.name + ": " + std::to_string(group.VertexCount()) + " vertices, "
            + std::to_string(group.TriangleCount()) + " triangles\n";
    }
    out += "textures:   " + std::to_string(report.textures.size()) + "\n";
    for (const auto& texture : report.textures)
        out += "  " + texture.name + ": " + FoundText(texture, report) + "\n";
    if (const auto bounds = ModelBounds(report.model))
        out += "bounds:     " + Triple(bounds->min, false) + " to " + Triple(bounds->max, false) + "\n";
    out += "extent:     " + Number(s.extent) + "\n";
    return out;
}

void AppendField(std::string& out, std::string_view name, const std::string& text)
{
    AppendJsonString(out, name);
    out += ": ";
    AppendJsonString(out, text);
}

std::string JsonReport(ModelReport& report)
{
    const W3DModelSummary& s = report.summary;
    std::string out = "{\n  ";
    AppendField(out, "entry", report.entry);
    out += ",\n  \"loaded\": " + std::string(s.loaded ? "true" : "false") + ",\n  ";
    AppendField(out, "error", s.error);
    out += ",\n  ";
    AppendField(out, "game", std::string(GameBlockName(report.game)));
    out += ",\n  ";
    AppendField(out, "installFolder", report.installFolder);
    out += ",\n  \"hierarchy\": {";
    AppendField(out, "name", s.hierarchyName);
    out += ", ";
    AppendField(out, "source", HierarchySourceText(s));
    out += ", ";
    AppendField(out, "entry", s.hierarchyEntry);
    out += ", \"pivots\": " + std::to_string(s.pivotCount) + "},\n  \"meshes\": [";
    for (const auto& group : report.model.Groups()) {
        out += &group == &report.model.Groups().front() ? "\n    {" : ",\n    {";
        AppendField(out, "name", group.name);
        out += ", \"vertices\": " + std::to_string(group.VertexCount()) + ", \"triangles\": "
            + std::to_string(group.TriangleCount()) + "}";
    }
    out += "],\n  \"skippedMeshes\": " + std::to_string(s.skippedMeshCount) + ",\n  \"textures\": [";
    for (const auto& texture : report.textures) {
        out += &texture == &report.textures.front() ? "\n    {" : ",\n    {";
        AppendField(out, "name", texture.name);
        out += ", ";
        AppendField(out, "found", FoundText(texture, report));
        out += "}";
    }
    out += "],\n";
    if (const auto bounds = ModelBounds(report.model))
        out += "  \"bounds\": {\"min\": " + Triple(bounds->min, true) + ", \"max\": " + Triple(bounds->max, true) + "},\n";
    out += "  \"extent\": " + Number(s.extent, true) + "\n}\n";
    return out;
}

std::vector<std::string> TextureNames(const W3DModelCollector& model)
{
    std::vector<std::string> names;
    for (const auto& material : model.Materials()) {
        for (const auto& name : material.desc.textureNames) {
            if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end())
                names.push_back(name);
        }
    }
    return names;
}

void OpenGameArchives(GameArchives& game, ToolArchive& archive, const ToolContext& context, const Arguments& args)
{
    std::map<GameKind, std::string> folders;
    if (const auto folder = args.Value("game-folder")) {
        for (const GameKind kind : {GameKind::Generals, GameKind::ZeroHour, GameKind::BFME})
            folders[kind] = context.Resolve(*folder).string();
    }
    const auto provider = args.Has("game-folder") ? std::make_unique<SettingsAndWineInstallPathProvider>(folders, std::vector<std::filesystem::path>{})
                                                   : CreatePlatformInstallPathProvider({});
    std::string folder = archive.Archive().GetPath().parent_path().string();
    game.plan = PlanGameTextureArchives(archive.Archive().GetFormat(), folder, true, *provider);
    if (game.plan.gameArchive && std::filesystem::exists(*game.plan.gameArchive))
        game.game.OpenForReading(*game.plan.gameArchive);
    if (game.plan.baseArchive && std::filesystem::exists(*game.plan.baseArchive))
        game.base.OpenForReading(*game.plan.baseArchive);
}

} // namespace

const CommandDetails W3dDetails = {
    "[--json] [--game-folder DIR] ARCHIVE ENTRY",
    W3dOptions,
    2,
    2,
    R"(DESCRIPTION
    Assembles the W3D model ENTRY as the editor's model preview does and summarises it: the
    game the archive belongs to, the skeleton (the model's own hierarchy, or the HLOD's,
    looked up in the archive as art\w3d\NAME.w3d), every mesh with its vertex and triangle
    counts, every texture its materials name and where the editor would find it (a file
    below the game's Art\Textures folder, an entry of the archive, of the game's texture
    archive or of the base game's), the bounds of all meshes and the model's extent (the
    largest absolute coordinate, which sets the preview's camera distance).

OPTIONS
    --json             Print one JSON object instead.
    --game-folder DIR  Take DIR as the game's installation folder instead of looking the game
                       up (in the registry on Windows, in Wine and Proton prefixes elsewhere).

EXIT STATUS
    0 summarised; 1 the entry is not a valid W3D model (the reason is reported); 2 no such
    entry, or the archive cannot be read.

EXAMPLES
    kestrel-big w3d W3DZH.big art/w3d/avtank.w3d
)",
};

int RunW3d(ToolContext& context, const Arguments& args)
{
    ToolArchive archive(context);
    int opened = ExitOk;
    const int index = archive.OpenForEntry(args.positional[0], args.positional[1], opened);
    const auto bytes = index < 0 ? std::nullopt : archive.Archive().GetEntryBytes(index);
    if (!bytes) {
        if (index >= 0)
            context.Report(archive.ShownName(), "entry \"" + args.positional[1] + "\" cannot be read");
        return ExitFailure;
    }
    GameArchives game(context);
    OpenGameArchives(game, archive, context, args);

    ModelReport report;
    report.entry = archive.Archive().GetEntryName(index);
    report.game = game.plan.game;
    report.installFolder = game.plan.installFolder;
    W3DAssemblyOptions options;
    options.readArchiveEntry = ArchiveEntryReader(archive.Archive());
    report.summary = AssembleW3DModel(*bytes, options, report.model);
    W3DTextureFinder finder(nullptr, {&archive.Archive(), &game.game, &game.base}, game.plan.installFolder);
    report.archiveNames = {archive.ShownName(), game.plan.gameArchive.value_or("").string(),
                           game.plan.baseArchive.value_or("").string()};
    for (const auto& name : TextureNames(report.model))
        report.textures.push_back(TextureReport{name, finder.LocateTexture(name)});

    const std::string out = args.Has("json") ? JsonReport(report) : TextReport(report);
    context.out.write(out.data(), static_cast<std::streamsize>(out.size()));
    if (!report.summary.loaded) {
        context.Report(archive.ShownName(), "entry \"" + report.entry + "\" is not a valid W3D model: " + report.summary.error);
        return std::max(opened, static_cast<int>(ExitProblems));
    }
    return opened;
}

} // namespace kestrel::cli
