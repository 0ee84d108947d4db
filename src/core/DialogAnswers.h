#pragma once

#include <functional>
#include <map>
#include <memory>
#include <typeindex>
#include <typeinfo>

#include "core/Interaction.h"

namespace brivant {

// Scripted answers to dialogs with models, chosen by the model's type: the command line
// and the tests say what the user does in each dialog (`On<Model>() = ...`). Without an
// answer the dialog counts as cancelled. Counts how often each dialog was shown.
class DialogAnswers {
  public:
    template <typename Model>
    std::function<bool(Model&)>& On() {
        using Fn = std::function<bool(Model&)>;
        Slot& slot = answers_[typeid(Model)];
        if (!slot.fn) {
            slot.fn = std::make_shared<Fn>();
            slot.call = [](void* fn, DialogModel& m) {
                const Fn& f = *static_cast<Fn*>(fn);
                return f && f(static_cast<Model&>(m));
            };
        }
        return *static_cast<Fn*>(slot.fn.get());
    }

    template <typename Model>
    int Shown() const {
        const auto it = shown_.find(typeid(Model));
        return it == shown_.end() ? 0 : it->second;
    }

    bool Answer(DialogModel& model) {
        const std::type_index type(typeid(model));
        ++shown_[type];
        const auto it = answers_.find(type);
        return it != answers_.end() && it->second.call(it->second.fn.get(), model);
    }

  private:
    struct Slot {
        std::shared_ptr<void> fn;
        bool (*call)(void*, DialogModel&) = nullptr;
    };
    std::map<std::type_index, Slot> answers_;
    std::map<std::type_index, int> shown_;
};

}  // namespace brivant
