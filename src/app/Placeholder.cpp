int lumicut_ui_placeholder = 0;
