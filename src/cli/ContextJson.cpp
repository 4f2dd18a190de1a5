#include "cli/ContextJson.h"

#include "model/ModelJson.h"

namespace cellsonify::cli {

std::string contextJsonFields(const RecordingContext& context) {
    if (context.empty()) return {};
    std::string json = ", \"context\": {\"tables\": [";
    for (std::size_t t = 0; t < context.tables.size(); ++t) {
        const IntervalTable& table = context.tables[t];
        json += (t ? ", " : "") + std::string("{\"name\": ") + jsonString(table.name) +
                ", \"intervals\": " + std::to_string(table.rows.size()) +
                ", \"group_column\": " + jsonString(table.groupColumn) + ", \"groups\": [";
        for (std::size_t g = 0; g < table.groups.size(); ++g) {
            std::size_t count = 0;
            for (const ContextInterval& row : table.rows) count += row.group == static_cast<int>(g) ? 1 : 0;
            json += (g ? ", " : "") + std::string("{\"name\": ") + jsonString(table.groups[g]) +
                    ", \"intervals\": " + std::to_string(count) + "}";
        }
        json += "]}";
    }
    json += "], \"behaviour\": [";
    for (std::size_t s = 0; s < context.streams.size(); ++s) {
        const BehaviourStream& stream = context.streams[s];
        json += (s ? ", " : "") + std::string("{\"name\": ") + jsonString(stream.name) +
                ", \"how\": " + jsonString(stream.how) + ", \"rate\": " + jsonNumber(stream.rate) +
                ", \"low\": " + jsonNumber(stream.low) + ", \"high\": " + jsonNumber(stream.high) +
                ", \"sounds\": " + (stream.sounds ? "true" : "false") + "}";
    }
    return json + "]}";
}

}  // namespace cellsonify::cli
