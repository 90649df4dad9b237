#pragma once

#include <string>

namespace parcelo {

// Display bindings: the optional controls an engine reports through. Each reports a kind
// name; an engine uses a binding only when the name is the one it expects (see
// boundAs), and silently skips the update otherwise, so engines run without a window.
class Binding {
public:
    virtual ~Binding() = default;
    virtual std::string kindName() const = 0;
};

inline constexpr const char* kProgressBarKind = "ProgressBar";
inline constexpr const char* kLabelKind = "Label";
inline constexpr const char* kListViewKind = "ListView";

class ProgressBarBinding : public Binding {
public:
    std::string kindName() const override { return kProgressBarKind; }
    virtual void setMaximum(int maximum) = 0;
    virtual int maximum() const = 0;
    virtual void setValue(int value) = 0;
    virtual void setVisible(bool visible) = 0;
};

class LabelBinding : public Binding {
public:
    std::string kindName() const override { return kLabelKind; }
    virtual void setCaption(const std::string& caption) = 0;
};

// What a row of a file list stands for: a piece of a set, or a file a split writes beside
// its pieces.
enum class FileRowKind { Piece, ChecksumFile, JoinScript, RecoveryPiece };

// "piece", "checksum file", "join script" or "recovery piece".
const char* fileRowKindName(FileRowKind kind);

// A report list: a full path with the list's icon, a size text and what the row stands for.
class FileListBinding : public Binding {
public:
    std::string kindName() const override { return kListViewKind; }
    virtual void clear() = 0;
    // Appends a row and returns its index for the calls below.
    virtual int addRow(const std::string& text, FileRowKind kind) = 0;
    virtual void setRowSize(int row, const std::string& sizeText) = 0;
    virtual void scrollToRow(int row) = 0;
};

// The kind check: the binding as T when it is bound and names the expected kind,
// nullptr otherwise.
template <class T>
T* boundAs(Binding* binding, const char* expectedKind)
{
    if (binding == nullptr || binding->kindName() != expectedKind)
        return nullptr;
    return dynamic_cast<T*>(binding);
}

inline ProgressBarBinding* asProgressBar(Binding* b)
{
    return boundAs<ProgressBarBinding>(b, kProgressBarKind);
}
inline LabelBinding* asLabel(Binding* b)
{
    return boundAs<LabelBinding>(b, kLabelKind);
}
inline FileListBinding* asFileList(Binding* b)
{
    return boundAs<FileListBinding>(b, kListViewKind);
}

// The three bindings of one pane, any of which may be missing.
struct PaneBindings {
    Binding* progressBar = nullptr;
    Binding* statusLabel = nullptr;
    Binding* fileList = nullptr;
};

// The bindings an engine shows its work on, set by its host; any may be missing.
class EngineBindings {
public:
    Binding* ProgressBar() const { return progressBar_; }
    void SetProgressBar(Binding* binding) { progressBar_ = binding; }
    Binding* StatusLabel() const { return statusLabel_; }
    void SetStatusLabel(Binding* binding) { statusLabel_ = binding; }
    Binding* FileList() const { return fileList_; }
    void SetFileList(Binding* binding) { fileList_ = binding; }

protected:
    Binding* progressBar_ = nullptr;
    Binding* statusLabel_ = nullptr;
    Binding* fileList_ = nullptr;
};

// What "Clear All" does to a pane's display: the bar hidden, the label and the list
// emptied.
void clearPaneDisplay(const PaneBindings& pane);

} // namespace parcelo
