import { createRoot } from "react-dom/client";
import "@xyflow/react/dist/style.css";
import "./studio.css";
import App from "./App.jsx";

createRoot(document.getElementById("root")).render(<App />);
