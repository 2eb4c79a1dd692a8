#pragma once
// The pictures of the main story in the order they show, each place a picture
// shows listed once (the same part shown twice is listed twice), and those
// whose file is missing, empty or only linked, where they would show.

#include <QByteArray>
#include <QString>

#include <vector>

namespace word::ooxml {

class DocumentModel;

struct StoryPicture {
    int paragraph = 0;  // 0-based paragraph of the main story (table cells included)
    QString partName;   // the media part, "word/media/image1.png"
    QByteArray bytes;   // the part as stored; empty when it is missing
    QString missing;    // why the picture's file is not in the document; empty when it is
    qint64 cxEmu = 0, cyEmu = 0;  // displayed size in the document (EMU); 0 when not stated
};

std::vector<StoryPicture> storyPictures(DocumentModel& model);

}  // namespace word::ooxml
