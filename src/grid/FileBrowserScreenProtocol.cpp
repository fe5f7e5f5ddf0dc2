#include "grid/FileBrowserScreenProtocol.h"

const QString FileBrowserScreenProtocol::StoryboardIdentifier
    = QStringLiteral("FileBrowserViewController");

FileBrowserScreenProtocol::~FileBrowserScreenProtocol() = default;
