// A password held for a while: its bytes are wiped when it is changed or released, so no
// copy lingers in freed memory for a dump or a page file to give away.
#pragma once

#include <cstddef>
#include <string>

class TSecret {
public:
    TSecret() = default;
    explicit TSecret(const std::string& text) : Text(text) {}
    TSecret(const TSecret& other) : Text(other.Text) {}
    TSecret& operator=(const TSecret& other)
    {
        if (this != &other) Assign(other.Text);
        return *this;
    }
    ~TSecret() { Wipe(); }

    const std::string& Get() const { return Text; }
    bool Empty() const { return Text.empty(); }
    bool operator==(const TSecret& other) const { return Text == other.Text; }
    bool operator!=(const TSecret& other) const { return Text != other.Text; }

    void Assign(const std::string& text)
    {
        if (&text == &Text) return;
        // Wiped first: a longer text would move to new memory and free the old unwiped.
        Wipe();
        Text = text;
    }

    // Fills in place from a source that writes at most `most` bytes and says how many it
    // wrote (a control's text, say), so that the text is never copied through a temporary.
    template <typename Fill>
    void FillFrom(size_t most, Fill fill)
    {
        Wipe();
        Text.resize(most);
        size_t written = fill(Text.data(), most);
        Text.resize(written < most ? written : most);
    }

    // The whole buffer, spare capacity included: a shorter text leaves the old tail there.
    void Wipe()
    {
        Text.resize(Text.capacity());
        volatile char* bytes = Text.data();   // volatile, so the stores are not dropped
        for (size_t i = 0; i < Text.size(); ++i) bytes[i] = 0;
        Text.clear();
    }

private:
    std::string Text;
};
